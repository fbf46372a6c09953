#include "platform/message_target.h"

#include "platform/message_queue_posix.h"

CMessageTarget::CMessageTarget(CMessageTarget* parent, int controlId)
    : m_parent(parent), m_controlId(controlId)
{
    CMessageQueue::Instance().Register(this);
}

CMessageTarget::~CMessageTarget()
{
    Unregister();
}

void CMessageTarget::SetParent(CMessageTarget* parent)
{
    m_parent = parent;
}

void CMessageTarget::Unregister()
{
    for (CMessageTarget* child : CMessageQueue::Instance().Unregister(this))
        child->m_parent = nullptr;
}
