#pragma once

#include "protocol/ReportMessages.h"

#include <QEvent>

#include <functional>
#include <memory>

class QObject;

// A message posted to a window: its number and its typed payload (ReportMessages.h says which
// payload each message carries). Whoever holds the message owns the payload; it is freed with
// the message on every path.
struct PostedMessage
{
    quint32 nMessage = 0;
    PostPayload payload;

    // The payload as T, or null when the message carries something else.
    template <class T> const T *Get() const { return std::get_if<T>(&payload); }
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

    void Post(PostedMessage message) const;
    void Post(quint32 nMessage, PostPayload payload = {}) const;

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
