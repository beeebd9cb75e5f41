#pragma once

#include <QHash>

#include <functional>

// Carries every command of the window to the pane or operation that owns it. Each handler
// returns what its operation returned (0, -1 or one of the engine's codes, see
// util/ResultCodes.h), so that the caller — a menu, the toolbar, the close sequence — can act on
// a failure.
class CommandRouter
{
public:
    using Handler = std::function<int()>;

    // Makes `handler` carry out `id`; a later route for the same id replaces it.
    void route(int id, Handler handler);
    bool isRouted(int id) const { return m_handlers.contains(id); }
    // Runs the command's handler and returns its result; -1 for a command nothing carries out.
    int run(int id) const;

private:
    QHash<int, Handler> m_handlers;
};
