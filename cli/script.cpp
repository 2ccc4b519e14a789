#include "cli/script.h"

#include <chrono>
#include <sstream>
#include <thread>

#include "ui/resource.h"

namespace marlinq::cli {

namespace {

bool ReadInt(std::istringstream& in, int& value) {
    return static_cast<bool>(in >> value);
}

std::string Rest(std::istringstream& in) {
    std::string rest;
    std::getline(in, rest);
    if (!rest.empty() && rest.front() == ' ') {
        rest.erase(0, 1);
    }
    return rest;
}

void PrintState(fw::CDialogDriver& d, int id, std::ostream& out) {
    const auto s = d.State(id);
    if (!s) {
        out << "state " << id << " missing\n";
        return;
    }
    out << "state " << id << " enabled=" << s->enabled << " visible=" << s->visible << " checked=" << s->check
        << " sel=" << s->curSel << " text=" << s->text << "\n";
}

}  // namespace

ScriptResult RunScriptLine(CConsoleHost& host, const std::string& line, std::ostream& out,
                           std::ostream& err) {
    std::istringstream in(line);
    std::string verb;
    if (!(in >> verb) || verb.front() == '#') {
        return ScriptResult::Ok;
    }
    fw::CDialogDriver d = host.Main();
    if (verb == "page") {
        int index = 0;
        if (!ReadInt(in, index) || !(in >> verb)) {
            err << "page: expected an index and a command\n";
            return ScriptResult::Error;
        }
        d = host.Page(index);
    }
    int id = 0;
    int index = 0;
    if (verb == "click" && ReadInt(in, id)) {
        d.Click(id);
    } else if (verb == "type" && ReadInt(in, id)) {
        d.Type(id, Rest(in));
    } else if (verb == "focus" && ReadInt(in, id)) {
        d.Focus(id);
    } else if (verb == "select" && ReadInt(in, id) && ReadInt(in, index)) {
        d.Select(id, index);
    } else if (verb == "tab" && ReadInt(in, index)) {
        d.Select(IDC_TAB_MODES, index);
    } else if (verb == "enter") {
        d.KeyDown(fw::VK_RETURN);
    } else if (verb == "escape") {
        d.KeyDown(fw::VK_ESCAPE);
    } else if (verb == "about") {
        d.SysCommand(IDM_SYS_ABOUT);
    } else if (verb == "help") {
        d.SysCommand(IDM_SYS_HELP);
    } else if (verb == "state" && ReadInt(in, id)) {
        PrintState(d, id, out);
    } else if (verb == "sleep" && ReadInt(in, index)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(index));
    } else if (verb == "close") {
        return ScriptResult::Close;
    } else {
        err << "cannot run: " << line << "\n";
        return ScriptResult::Error;
    }
    d.Sync();  // the next line sees the effect of this one
    return ScriptResult::Ok;
}

}  // namespace marlinq::cli
