#pragma once

#include "csv/commandline.h"

class QTextStream;

// "morvek --org-chart FILE" and "morvek --figures FOLDER": the chart and the figures
// from scripts, without a window. They read the register and write nothing to it.
class CChartCommandLine final
{
public:
    // Runs it on a GUI application of its own on the offscreen platform: fonts need one.
    static int Main(int argc, char **argv, const CCommandLine::SParsed &parsed);
    // 0 on success; on failure a message on err and no file left behind.
    static int Run(const CCommandLine::SParsed &parsed, QTextStream &out, QTextStream &err);

private:
    static int WriteChart(const CCommandLine::SParsed &parsed, QTextStream &out, QTextStream &err);
};
