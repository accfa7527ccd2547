#pragma once

#include <functional>
#include <vector>

namespace table {

// A list of handlers for one event of a table or field. Rules attach with
// `+=`; `=` replaces every handler. A handler refuses by throwing (Abort for
// the silent kind, DbError with a message otherwise).
template <typename... Args> class Event {
public:
    using Handler = std::function<void(Args...)>;

    Event& operator+=(Handler handler) {
        if (handler)
            m_handlers.push_back(std::move(handler));
        return *this;
    }
    Event& operator=(Handler handler) {
        m_handlers.clear();
        return *this += std::move(handler);
    }
    void clear() { m_handlers.clear(); }
    bool empty() const { return m_handlers.empty(); }

    // Handlers may attach further handlers or fire events again while running.
    void operator()(Args... args) const {
        if (m_handlers.empty())
            return;
        const auto handlers = m_handlers;
        for (const auto& h : handlers)
            h(args...);
    }

private:
    std::vector<Handler> m_handlers;
};

} // namespace table
