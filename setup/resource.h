// Resource numbers of setup.
#pragma once

#define IDI_SETUP 107
