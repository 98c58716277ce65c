#pragma once

#include <QByteArray>
#include <QStringList>

class QWebEngineProfile;

// The one browser profile every embedded browser and off-screen page uses:
// one cookie store on disk (in the per-user data folder), so a sign-in made
// in any browser of the program holds in all of them and across restarts.
namespace WebProfile {
QWebEngineProfile* shared();

// The engine's switches as the program starts it with, from what it was given: its
// environment's switches, the program's arguments and whether the sandbox was turned off.
QByteArray engineSwitches(const QByteArray& given, const QStringList& arguments, bool sandboxOff);
}  // namespace WebProfile
