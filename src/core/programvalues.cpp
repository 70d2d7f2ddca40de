#include "core/programvalues.h"

ProgramValues &Program()
{
    static ProgramValues values;
    return values;
}
