#include "WriteSum.h"
