#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace n640::cli {

class CSession;

// Runs n640ctl with the given arguments (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

// The handlers of the command table (Help.cpp). Each is called with a word count the table
// admits and returns the exit status.
int CmdDevices(CSession& s);
int CmdInfo(CSession& s);
int CmdShow(CSession& s);
int CmdNew(CSession& s);
int CmdSet(CSession& s);
int CmdSlots(CSession& s);
int CmdSelect(CSession& s);
int CmdMacros(CSession& s);
int CmdSim(CSession& s);
int CmdLang(CSession& s);
int RunApplyCommand(CSession& s);    // Apply.cpp
int RunReportsCommand(CSession& s);  // Apply.cpp
int RunUpdateCommand(CSession& s);   // Update.cpp

} // namespace n640::cli
