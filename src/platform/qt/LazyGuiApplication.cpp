#include "platform/qt/LazyGuiApplication.h"

#include <QGuiApplication>

namespace corvane {

namespace {

LazyGuiApplication* g_inForce = nullptr;

} // namespace

LazyGuiApplication::LazyGuiApplication(int& argc, char** argv) : argc_(argc), argv_(argv) { g_inForce = this; }

LazyGuiApplication::~LazyGuiApplication()
{
    if (g_inForce == this) g_inForce = nullptr;
    delete app_;
}

void LazyGuiApplication::Make()
{
    if (!app_ && !QCoreApplication::instance()) app_ = new QGuiApplication(argc_, argv_);
}

void EnsureFontSetUp()
{
    if (g_inForce && !QCoreApplication::instance()) g_inForce->Make();
}

} // namespace corvane
