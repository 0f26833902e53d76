#include "app/ProgramServices.h"

ProgramServices::ProgramServices() : commands_(devices_, store_) {}
