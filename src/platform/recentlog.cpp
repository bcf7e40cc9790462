#include "recentlog.h"

#include <QDateTime>
#include <QMutex>

#include <deque>

namespace {

constexpr std::size_t kLines = 100;

struct Kept {
    QMutex mutex;
    std::deque<QString> lines;
    std::function<void(const QString &)> told;
    QtMessageHandler next = nullptr;
};

Kept &kept()
{
    static Kept instance;
    return instance;
}

void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    Kept &k = kept();
    if (type != QtDebugMsg && context.category && qstrncmp(context.category, "velmora.", 8) == 0) {
        const QString line = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss ")) +
                             QLatin1String(context.category) + QStringLiteral(": ") + text;
        std::function<void(const QString &)> told;
        {
            QMutexLocker lock(&k.mutex);
            k.lines.push_back(line);
            if (k.lines.size() > kLines)
                k.lines.pop_front();
            told = k.told;
        }
        if (told)
            told(line);
    }
    if (k.next)
        k.next(type, context, text);
}

}   // namespace

void keepRecentLog()
{
    Kept &k = kept();
    QMutexLocker lock(&k.mutex);
    if (!k.next)
        k.next = qInstallMessageHandler(handle);
}

QStringList recentLog()
{
    Kept &k = kept();
    QMutexLocker lock(&k.mutex);
    return QStringList(k.lines.begin(), k.lines.end());
}

void tellRecentLog(std::function<void(const QString &)> told)
{
    Kept &k = kept();
    QMutexLocker lock(&k.mutex);
    k.told = std::move(told);
}
