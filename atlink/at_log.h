// The AT traffic log "AtLog.ini": one line per request written and per answer read.
//
// A line is "%m/%d/%Y %H:%M:%S " + "Send: " or "Recv: " (or "Note: ") + the text + CR LF, and every LF of it
// reaches the file as CR LF, so the line ends in CR CR LF. A text ending in a single CR loses
// that CR. An empty text writes no line but creates the file. Writers in this process are
// serialised, so two threads logging at once lose no line, and each line is one write under an
// advisory lock of the file, so lines of several processes never interleave. The file is opened
// and closed for every line, and only when it is a regular file: a FIFO or a device in its place
// is never opened to wait on, the line is lost, and standard error says so once per path.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>

namespace atlink {

inline constexpr const char* kAtLogFileName = "AtLog.ini";

// The line for text as composed in memory (LF line end, before the disk translation).
std::string ComposeAtLogLine(const std::string& text, bool bRecv, const std::tm& date, const std::tm& time);

// The bytes that a composed line takes on disk: every LF becomes CR LF.
std::string AtLogDiskBytes(const std::string& composed);

// Appends the line for text to the log file at path. *stream holds the open file while the
// line is written and is null again afterwards. A file that cannot be opened costs the line.
void AppendAtLogLine(const std::string& path, const std::string& text, bool bRecv, std::FILE** stream);

// Appends a line labelled "Note: " instead, for what the port layer did besides the traffic
// (a stale exclusive claim it cleared, say).
void AppendAtLogNote(const std::string& path, const std::string& text);
// Why the log file at path cannot be written because of what it is ("it is a FIFO, not a regular
// file"); empty when it is a regular file or not there yet.
std::string AtLogRefusal(const std::string& path);
// "the traffic log PATH cannot be written: REASON"
std::string AtLogRefusedLine(const std::string& path, const std::string& reason);

// Directory of the log file: the folder where the tool writes its files (beside the program for a
// portable copy, else the user's data folder) unless overridden (tests only).
std::string AtLogDirectory();
void SetAtLogDirectoryOverride(const std::string& directory);  // empty restores the default

}  // namespace atlink
