#pragma once
// The program's own X connection, for the few requests Qt does not make.
#include <QGuiApplication>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

namespace clavora::x11 {

// Null when the program does not run on X11.
inline xcb_connection_t* connection()
{
    auto* app = qGuiApp;
    if (app == nullptr)
        return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> ReplyPtr<Reply> owned(Reply* reply)
{
    return ReplyPtr<Reply>(reply, &std::free);
}

} // namespace clavora::x11
