#pragma once

#include <QEvent>
#include <QString>

#include <functional>
#include <memory>

class QObject;
class RecorderFileEntry;

// A message posted to a window: its number, two parameters and an owned payload. Whoever
// holds the message owns the payload; it is freed with the message on every path.
struct PostedMessage
{
    quint32 nMessage = 0;
    quintptr wParam = 0;
    qintptr lParam = 0;
    QString strText;                           // text payloads (informations, job texts, names)
    std::shared_ptr<RecorderFileEntry> pEntry; // WM_REC_FILE_ENTRY
};

// The event that carries a PostedMessage to a QObject. Its type is QEvent::User plus the
// message number.
class PostEvent final : public QEvent
{
public:
    explicit PostEvent(PostedMessage message);
    ~PostEvent() override;

    static QEvent::Type TypeFor(quint32 nMessage) { return QEvent::Type(QEvent::User + int(nMessage)); }
    // The posted message inside an event, or null for any other event.
    static PostEvent *From(QEvent *pEvent);

    PostedMessage &Message() { return m_message; }

private:
    PostedMessage m_message;
};

namespace detail {
struct PostSlot;
}

// A thread-safe handle to a receiver of posted messages. Copies share the receiver; once the
// receiver is gone every post is dropped and its payload freed. Delivery keeps posting order.
class PostTarget final
{
public:
    PostTarget() = default; // posts nowhere

    // A target that hands each message to a function on the posting thread (command-line
    // tools and tests that run without an event loop).
    static PostTarget ForFunction(std::function<void(PostedMessage &&)> sink);

    bool IsNull() const { return !m_pSlot; }

    void Post(PostedMessage message) const;
    void Post(quint32 nMessage, quintptr wParam, qintptr lParam) const;
    void PostText(quint32 nMessage, QString strText, qintptr lParam = 0) const;

private:
    friend class PostReceiver;
    std::shared_ptr<detail::PostSlot> m_pSlot;
};

// Owned by the receiving object: hands out targets that post to it, and cuts them off when
// it is destroyed, so a late post from a worker never reaches freed memory.
class PostReceiver final
{
    Q_DISABLE_COPY_MOVE(PostReceiver)

public:
    explicit PostReceiver(QObject *pReceiver);
    ~PostReceiver();

    PostTarget Target() const { return m_target; }
    // Stops delivery now (also done by the destructor).
    void Detach();

private:
    PostTarget m_target;
};
