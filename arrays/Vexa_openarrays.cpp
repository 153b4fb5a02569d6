#include "arrays/Vexa_openarrays.h"
