// Resource numbers shared by centinela.rc and the code.
#pragma once

#define IDI_CENTINELA 1
