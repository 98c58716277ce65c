#pragma once
#include "mail/Pane.h"
