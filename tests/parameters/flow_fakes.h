// Controls held in maps, for testing the parameter flows without a window; the AT commands go
// through the real AT client to the simulator.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "framework/control_access.h"

namespace parameters::test {

class MapControls : public fw::IControlAccess {
  public:
    std::string GetWindowText(int id) const override {
        if (items.count(id) != 0) {
            return GetLBText(id, GetCurSel(id));
        }
        const auto it = text.find(id);
        return it == text.end() ? std::string() : it->second;
    }
    void SetWindowText(int id, const std::string& t) override {
        text[id] = t;
        writes.push_back(id);
    }
    int GetCheck(int id) const override { return check.count(id) != 0 && check.at(id) ? fw::BST_CHECKED : 0; }
    void SetCheck(int id, int c) override {
        check[id] = c == fw::BST_CHECKED;
        writes.push_back(id);
    }
    int GetCurSel(int id) const override { return sel.count(id) != 0 ? sel.at(id) : -1; }
    void SetCurSel(int id, int index) override {
        sel[id] = index >= 0 && index < GetCount(id) ? index : -1;
        writes.push_back(id);
    }
    void SelectItemText(int id, const std::string& t) override {
        int found = -1;
        for (int i = 0; i < GetCount(id); ++i) {
            found = found < 0 && GetLBText(id, i) == t ? i : found;
        }
        SetCurSel(id, found);
    }
    int GetCount(int id) const override {
        return items.count(id) != 0 ? static_cast<int>(items.at(id).size()) : 0;
    }
    std::string GetLBText(int id, int index) const override {
        return index >= 0 && index < GetCount(id) ? items.at(id)[static_cast<std::size_t>(index)]
                                                  : std::string();
    }
    void AddString(int id, const std::string& t) override { items[id].push_back(t); }
    void ResetContent(int id) override { items[id].clear(); }
    fw::BOOL IsWindowEnabled(int) const override { return fw::TRUE; }
    void EnableWindow(int, bool) override {}
    void ShowWindow(int, bool) override {}
    void FocusAtEnd(int id) override { focused = id; }
    void SetIcon(int, int) override {}

    bool Checked(int id) const { return GetCheck(id) == fw::BST_CHECKED; }

    std::map<int, std::string> text;
    std::map<int, bool> check;
    std::map<int, int> sel;
    std::map<int, std::vector<std::string>> items;
    std::vector<int> writes;  // ids in the order they were written
    int focused = 0;
};

}  // namespace parameters::test
