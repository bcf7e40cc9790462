#include "parallelportmessages.h"

#include "platform/systemreason.h"
#include "platform/texts.h"

#include <cerrno>

bool deviceMissing(int err) { return err == ENOENT || err == ENODEV || err == ENXIO; }

QString deviceErrorText(const QString &device, int err)
{
    if (deviceMissing(err))
        return Texts::tr(
                   "la porta %1 non esiste (%2): caricare il modulo ppdev "
                   "(sudo modprobe ppdev) e controllare che la porta parallela sia collegata e abilitata")
            .arg(device, systemReason(err));
    if (err == EACCES || err == EPERM)
        return Texts::tr("accesso negato a %1: aggiungere l'utente al gruppo lp "
                         "(sudo usermod -aG lp $USER), poi uscire e rientrare nella sessione")
            .arg(device);
    if (err == ENOTTY)   // never opened: see checkNode
        return Texts::tr("%1 non è una porta parallela: indicare un /dev/parportN (modulo ppdev), "
                         "evdev:DISPOSITIVO per i pulsanti USB, serial:PORTA per una porta seriale o "
                         "file:PERCORSO per provare senza porta")
            .arg(device);
    if (err == EBUSY)
        return Texts::tr("la porta %1 è occupata da un altro programma (per esempio una stampa in corso); "
                         "Velmora riprova da sola")
            .arg(device);
    return Texts::tr("impossibile leggere %1: %2").arg(device, systemReason(err));
}

// The remedy depends on who was refused: a user needs root, while root refused means
// the kernel forbids direct I/O (lockdown under Secure Boot) or the machine has none.
QString ioErrorText(int err, bool root)
{
    const QString ppdev =
        Texts::tr("usare /dev/parport0 con il modulo ppdev (sudo modprobe ppdev) e il gruppo lp");
    if ((err == EPERM || err == EACCES) && !root)
        return Texts::tr("accesso diretto alla porta 0x379 negato (%1): serve root; meglio %2")
            .arg(systemReason(err), ppdev);
    if (err == EPERM || err == EACCES)
        return Texts::tr("il kernel nega l'accesso diretto alla porta 0x379 anche a root (%1; succede con "
                         "Secure Boot attivo): %2")
            .arg(systemReason(err), ppdev);
    return Texts::tr("accesso diretto alla porta 0x379 non disponibile su questo sistema (%1): %2")
        .arg(systemReason(err), ppdev);
}
