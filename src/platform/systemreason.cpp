#include "systemreason.h"

#include "texts.h"

#include <QLoggingCategory>

#include <cerrno>
#include <cstring>

Q_LOGGING_CATEGORY(lcSystem, "velmora.system", QtInfoMsg)

QString systemReason(int error)
{
    const QString system = QString::fromLocal8Bit(std::strerror(error));
    qCDebug(lcSystem).noquote() << "errno" << error << system;
    switch (error) {
    case ENOENT:
        return Texts::tr("non esiste");
    case EACCES:
    case EPERM:
        return Texts::tr("permesso negato");
    case EBUSY:
        return Texts::tr("occupato da un altro programma");
    case ENODEV:
    case ENXIO:
        return Texts::tr("il dispositivo non c'è (scollegato, o il suo driver non è caricato)");
    case ENOSPC:
        return Texts::tr("il disco è pieno");
    case EDQUOT:
        return Texts::tr("lo spazio concesso all'utente sul disco è esaurito");
    case EFBIG:
        return Texts::tr("il file supera la dimensione che il sistema consente");
    case EROFS:
        return Texts::tr("il disco è di sola lettura");
    case EISDIR:
        return Texts::tr("è una cartella, non un file");
    case ENOTDIR:
        return Texts::tr("una parte del percorso non è una cartella");
    case EIO:
        return Texts::tr("errore del disco o del dispositivo (input/output)");
    case ENAMETOOLONG:
        return Texts::tr("il nome è troppo lungo");
    case ELOOP:
        return Texts::tr("troppi collegamenti simbolici nel percorso");
    case ECONNREFUSED:
        return Texts::tr("connessione rifiutata: nessun server in ascolto su quella porta");
    case EHOSTUNREACH:
    case ENETUNREACH:
        return Texts::tr("la macchina o la sua rete non si raggiunge");
    case ETIMEDOUT:
        return Texts::tr("nessuna risposta in tempo");
    case ECONNRESET:
    case EPIPE:
        return Texts::tr("connessione interrotta dall'altra parte");
    default:
        return system;
    }
}
