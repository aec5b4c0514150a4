#pragma once

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <utility>

namespace tessaro::test {

// What one logging category says while this lives, from any thread. Other
// categories pass on untouched; the captured ones pass on too unless told
// to stay quiet.
class LogCapture {
public:
    explicit LogCapture(const char* category, bool passOn = true)
        : m_category(category)
        , m_passOn(passOn) {
        s_current = this;
        s_previous = qInstallMessageHandler(&handle);
    }
    ~LogCapture() {
        qInstallMessageHandler(s_previous);
        s_current = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The messages of one type, in order.
    QStringList messages(QtMsgType type) const {
        const QMutexLocker lock(&m_mutex);
        QStringList texts;
        for (const auto& [kind, text] : m_messages)
            if (kind == type)
                texts.append(text);
        return texts;
    }
    // True when some message of any type contains `part`.
    bool contains(const QString& part) const {
        const QMutexLocker lock(&m_mutex);
        for (const auto& message : m_messages)
            if (message.second.contains(part))
                return true;
        return false;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        LogCapture* capture = s_current;
        const bool ours = capture && qstrcmp(context.category, capture->m_category) == 0;
        if (ours) {
            const QMutexLocker lock(&capture->m_mutex);
            capture->m_messages.append({type, text});
        }
        if (!ours || capture->m_passOn)
            s_previous(type, context, text);
    }

    const char* m_category;
    bool m_passOn;
    mutable QMutex m_mutex;
    QList<std::pair<QtMsgType, QString>> m_messages;
    static inline LogCapture* s_current = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
};

} // namespace tessaro::test
