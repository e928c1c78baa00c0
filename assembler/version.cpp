#include "assembler/version.h"
