#pragma once
// The commands of varnel, one function per command-line form. main() parses
// the options and calls one of them; each returns the exit status.
#include <optional>
#include <string>

// --entities FILE
int cmdEntities(const std::string& file);
// --entity NAME FILE
int cmdEntity(const std::string& name, const std::string& file);
// --save-entity NAME FILE [--as TARGET]
int cmdSaveEntity(const std::string& name, const std::string& file, const std::optional<std::string>& target);
// --convert [FILE]
int cmdConvert(const std::optional<std::string>& file);
// --indent [FILE]
int cmdIndent(const std::optional<std::string>& file);
// --print FILE [--pdf OUT]
int cmdPrint(int argc, char** argv, const std::string& file, const std::optional<std::string>& pdf);
// No options: the editor window, with the whole command line as the file to
// open in whole-file mode ("" for none).
int runEditorWindow(int argc, char** argv, const std::string& startFile);
