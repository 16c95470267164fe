#pragma once

#include <QCoreApplication>

#include <memory>

// The application a program without windows renders reports in: fonts and the PDF writer
// need a GUI application, which here never needs a display (the offscreen platform).
std::unique_ptr<QCoreApplication> MakeReportApplication(int &argc, char **argv);
