#pragma once

#include "desk/deskreport.h"

#include <cstdio>

// A child program's failures, told to the test on the error output: nobody answers a message
// there.
class ErrorOutputReport : public DeskReport
{
public:
    void warn(const QString &caption, const QString &detail) override
    {
        std::fprintf(stderr, "%s %s\n", qPrintable(caption), qPrintable(detail));
    }
    void databaseError() override { std::fputs("database error\n", stderr); }
};
