#pragma once
// The code page of a test run. A CTest entry that runs a test under another locale names the
// page in DOVREL_TEST_CODEPAGE, and a run that did not get it stops.
#include "codepage.h"

#include <QtGlobal>

inline unsigned codePageInUse()
{
    const unsigned page = text::codePage();
    bool ok = false;
    const int wanted = qEnvironmentVariableIntValue("DOVREL_TEST_CODEPAGE", &ok);
    if (ok && unsigned(wanted) != page)
        qFatal("the run has code page %u, not %d", page, wanted);
    return page;
}
