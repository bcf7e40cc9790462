#include "uploadname.h"

#include "platform/audio/wavclip.h"
#include "platform/texts.h"

#include <QFile>
#include <QSaveFile>

Done keepUpload(const QByteArray &body, const QString &path, const QString &name)
{
    if (const Decoded clip = decodeWav(body.constData(), std::size_t(body.size()), ClipLimits {}); !clip)
        return failure(QStringLiteral("%1: %2").arg(name, clip.error()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit())
        return failure(Texts::tr("impossibile scrivere %1: %2").arg(path, file.errorString()));
    return kDone;
}

Result<QString> uploadName(const QString &asked)
{
    auto refused = [&asked](const QString &why) {
        return failure(Texts::tr("nome non accettato \"%1\": %2").arg(asked.left(80), why));
    };
    if (asked.contains(QLatin1Char('/')) || asked.contains(QLatin1Char('\\')))
        return refused(Texts::tr("è un percorso; indicare solo il nome del file"));
    for (const QChar c : asked)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
            c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return refused(Texts::tr("contiene caratteri di controllo"));
    if (asked.startsWith(QLatin1Char('.')))
        return refused(Texts::tr("un nome che comincia con il punto sarebbe nascosto"));
    if (!asked.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive) || asked.size() <= 4)
        return refused(Texts::tr("si accettano solo file .wav"));
    if (QFile::encodeName(asked).size() > 255)
        return refused(Texts::tr("è più lungo di 255 byte"));
    return asked;
}
