#pragma once

class QWebEngineProfile;

// The one browser profile every embedded browser and off-screen page uses:
// one cookie store on disk (in the per-user data folder), so a sign-in made
// in any browser of the program holds in all of them and across restarts.
namespace WebProfile {
QWebEngineProfile* shared();
}
