#include "settings/file_associations_win.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "settings/file_associations.h"
#include "ui/dialog_win.h"
#include "ui/elements_win.h"

namespace {

constexpr char kClass[] = "QuendraFileAssociations";
constexpr int kListId = 1;
constexpr int kApplyId = 2;
constexpr COLORREF kListText = RGB(0, 180, 0);
constexpr COLORREF kText = RGB(0, 200, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr char kApplyText[] = "\xDC" "bernehmen";

// Only reads, so a key the user may not write still shows its real state.
std::string ReadDefaultValue(const std::string& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return "";
    std::vector<char> buffer(256);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    LONG result = RegQueryValueExA(handle, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result == ERROR_MORE_DATA) {
        buffer.assign(size + 1, '\0');
        result = RegQueryValueExA(handle, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || type != REG_SZ) return "";
    return std::string(buffer.data(), strnlen(buffer.data(), size));
}

// Without the rights to write the key nothing happens; the dialog shows the real state next time.
void WriteDefaultValue(const std::string& key, const std::string& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
}

std::string TypeKey(int row) {
    return std::string(".") + AssociationTypes[row];
}

std::string ExecutablePath() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

bool IsRowTicked(HWND list, int row) {
    return ((SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void TickRow(HWND list, int row) {
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(2);
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void ApplyAssociations(HWND list) {
    for (int row = 0; row < kAssociationTypeCount; ++row) {
        const std::string key = TypeKey(row);
        switch (ChangeForType(IsRowTicked(list, row), ReadDefaultValue(key))) {
        case AssociationChange::WriteOurs: WriteDefaultValue(key, kProgramId); break;
        case AssociationChange::Clear: WriteDefaultValue(key, ""); break;
        case AssociationChange::Keep: break;
        }
    }
    const std::string exe = ExecutablePath();
    WriteDefaultValue(std::string(kProgramId) + "\\DefaultIcon", AssociationIconText(exe));
    WriteDefaultValue(std::string(kProgramId) + "\\shell\\Open\\command", AssociationCommandText(exe));
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

LRESULT CALLBACK AssociationsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kApplyId) NoteButtonClicked(kApplyId);
        return 0;
    case WM_DRAWITEM:
        if (wParam == kApplyId) {
            DrawDialogButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_CLOSE: // only "Übernehmen" closes the dialog
        return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateTypeList(HWND window, HFONT font) {
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                                6, 5, 190, 215, window, reinterpret_cast<HMENU>(kListId), g_ui.instance,
                                nullptr);
    if (!list) return nullptr;
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    SendMessageA(list, LVM_SETBKCOLOR, 0, kBlack);
    SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, kBlack);
    SendMessageA(list, LVM_SETTEXTCOLOR, 0, kListText);
    char title[] = "Dateityp";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cx = 180;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageA(list, LVM_SETVIEW, LV_VIEW_SMALLICON, 0);
    SetWindowLongA(list, GWL_STYLE, (GetWindowLongA(list, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_SMALLICON);

    for (int row = 0; row < kAssociationTypeCount; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(AssociationTypes[row]);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (IsOwnAssociation(ReadDefaultValue(TypeKey(row)))) TickRow(list, row);
    }
    return list;
}

} // namespace

void EditFileAssociations() {
    HWND window = OpenDialogWindow(kClass, AssociationsProc, "Dateiverkn\xFCpfungen");
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND list = window ? CreateTypeList(window, font) : nullptr;
    HWND apply = window ? CreateWindowExA(0, "BUTTON", kApplyText, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_OWNERDRAW,
                                          6, 225, 190, 20, window, reinterpret_cast<HMENU>(kApplyId),
                                          g_ui.instance, nullptr)
                        : nullptr;
    if (apply) SendMessageA(apply, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // Without its controls the dialog could never be left, so it is not run at all.
    if (list && apply) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        if (RunUntilButton() == kApplyId) ApplyAssociations(list);
    }
    CloseDialogWindow(window);
}
