#pragma once
// One entry of the scanner's file list: the full path of a file to scan.
#include <string>

struct clsFilelist {
    std::string gsFilename;
};
