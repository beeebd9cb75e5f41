#include "frame/commands/CommandRouter.h"

#include "util/ResultCodes.h"

void CommandRouter::route(int id, Handler handler)
{
    m_handlers.insert(id, std::move(handler));
}

int CommandRouter::run(int id) const
{
    const auto it = m_handlers.constFind(id);
    return it == m_handlers.constEnd() ? Result::Failed : it.value()();
}
