#pragma once
#include "site/Page.h"
#include "mail/Pane.h"
