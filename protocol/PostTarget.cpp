#include "protocol/PostTarget.h"

#include <QCoreApplication>
#include <QObject>

#include <mutex>

namespace detail {

struct PostSlot
{
    std::mutex mutex;
    QObject *pReceiver = nullptr;
    std::function<void(PostedMessage &&)> sink;
};

} // namespace detail

PostEvent::PostEvent(PostedMessage message)
    : QEvent(TypeFor(message.nMessage))
    , m_message(std::move(message))
{}

PostEvent::~PostEvent() = default;

PostEvent *PostEvent::From(QEvent *pEvent)
{
    if (!pEvent || pEvent->type() < QEvent::User || pEvent->type() > QEvent::MaxUser)
        return nullptr;
    return dynamic_cast<PostEvent *>(pEvent);
}

PostTarget PostTarget::ForFunction(std::function<void(PostedMessage &&)> sink)
{
    PostTarget target;
    target.m_pSlot = std::make_shared<detail::PostSlot>();
    target.m_pSlot->sink = std::move(sink);
    return target;
}

void PostTarget::Post(PostedMessage message) const
{
    if (!m_pSlot)
        return;
    std::lock_guard lock(m_pSlot->mutex);
    if (m_pSlot->sink) {
        m_pSlot->sink(std::move(message));
        return;
    }
    // Holding the lock while posting keeps the receiver alive: its PostReceiver waits for
    // the lock before it lets the object go.
    if (m_pSlot->pReceiver)
        QCoreApplication::postEvent(m_pSlot->pReceiver, new PostEvent(std::move(message)));
}

void PostTarget::Post(quint32 nMessage, PostPayload payload) const
{
    Post(PostedMessage{nMessage, std::move(payload)});
}

PostReceiver::PostReceiver(QObject *pReceiver)
{
    m_target.m_pSlot = std::make_shared<detail::PostSlot>();
    m_target.m_pSlot->pReceiver = pReceiver;
}

PostReceiver::~PostReceiver()
{
    Detach();
}

void PostReceiver::Detach()
{
    std::lock_guard lock(m_target.m_pSlot->mutex);
    m_target.m_pSlot->pReceiver = nullptr;
}
