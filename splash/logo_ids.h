// Resource ids of the splash library (its range: 1800-1899).
#pragma once

#define IDB_LOGO 1800
