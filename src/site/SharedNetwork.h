#pragma once

class QNetworkAccessManager;

// The one network access for plain page requests. Its cookie jar is kept in
// step with the browsers' cookie store both ways, so a sign-in made in any
// embedded browser holds for plain requests too, and a cookie a plain
// request receives reaches the browsers.
namespace SharedNetwork {
QNetworkAccessManager* manager();
}
