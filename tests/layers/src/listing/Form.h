#pragma once
#include "settings/Ini.h"
#include "site/Page.h"
// A site fact outside the site layer.
inline const char* kPayment = "ypmOK";
