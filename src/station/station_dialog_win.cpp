#include "station/station_dialog_win.h"

#include <cstring>
#include <string>

#include "base/codepage_win.h"
#include "base/resource.h"
#include "base/texts.h"
#include "window/base_window_win.h"
#include "window/modal_dialog_win.h"

namespace zelmor::station {
namespace {

constexpr LRESULT kNone = -1;  // item data of "（指定しない）"

std::wstring Wide(const char* ascii) { return std::wstring(ascii, ascii + std::strlen(ascii)); }

int ControlOf(StationField field) {
  switch (field) {
    case StationField::CallSign: return IDC_STATION_CALL;
    case StationField::Grid: return IDC_STATION_GRID;
    case StationField::Prefecture: return IDC_STATION_PREFECTURE;
    case StationField::City: return IDC_STATION_CITY;
    case StationField::StationLocation: return IDC_STATION_LOCATION;
  }
  return IDC_STATION_CALL;
}

class StationDialogWindow : public window::ModalDialog {
 public:
  explicit StationDialogWindow(const std::optional<Station>& current) : initial_(current.value_or(Station{})) {}

  const std::optional<Station>& result() const { return result_; }

 protected:
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM) override {
    switch (message) {
      case WM_INITDIALOG:
        OnInit();
        return TRUE;
      case WM_COMMAND:
        OnCommand(LOWORD(wparam), HIWORD(wparam));
        return TRUE;
      default:
        return FALSE;
    }
  }

 private:
  HWND Item(int id) const { return GetDlgItem(hwnd(), id); }

  static int AddItem(HWND combo, const std::wstring& text, LRESULT data) {
    const auto index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return static_cast<int>(index);
  }

  void OnInit() {
    SetWindowTextW(Item(IDC_STATION_CALL), initial_.call_sign.c_str());
    SetWindowTextW(Item(IDC_STATION_GRID), initial_.GridText().c_str());
    SetWindowTextW(Item(IDC_STATION_LOCATION), initial_.station_location.c_str());
    HWND prefectures = Item(IDC_STATION_PREFECTURE);
    int selected = AddItem(prefectures, LoadText(IDS_STATION_NONE), kNone);
    for (size_t i = 0; i < kPrefectures.size; ++i) {
      const int index = AddItem(prefectures, Label(kPrefectures.rows[i]), static_cast<LRESULT>(i));
      if (Wide(kPrefectures.rows[i].code) == initial_.prefecture) selected = index;
    }
    SendMessageW(prefectures, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    FillCities(initial_.city);
  }

  // The prefecture's own cities, guns and wards only: a city of another cannot be chosen.
  void FillCities(const std::wstring& city_code) {
    HWND cities = Item(IDC_STATION_CITY);
    SendMessageW(cities, CB_RESETCONTENT, 0, 0);
    int selected = AddItem(cities, LoadText(IDS_STATION_NONE), kNone);
    const std::wstring prefecture = SelectedPrefecture();
    if (!prefecture.empty()) {
      for (const CityGunKu* city : CitiesOf(prefecture)) {
        const int index = AddItem(cities, Label(*city), static_cast<LRESULT>(city - kCitiesGunsKu.rows));
        if (Wide(city->code) == city_code) selected = index;
      }
    }
    SendMessageW(cities, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  }

  LRESULT SelectedData(int id) const {
    const auto index = SendMessageW(Item(id), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? kNone : SendMessageW(Item(id), CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  }

  std::wstring SelectedPrefecture() const {
    const LRESULT data = SelectedData(IDC_STATION_PREFECTURE);
    return data >= 0 && static_cast<size_t>(data) < kPrefectures.size ? Wide(kPrefectures.rows[data].code)
                                                                         : std::wstring();
  }

  std::wstring SelectedCity() const {
    const LRESULT data = SelectedData(IDC_STATION_CITY);
    return data >= 0 && static_cast<size_t>(data) < kCitiesGunsKu.size ? Wide(kCitiesGunsKu.rows[data].code)
                                                                         : std::wstring();
  }

  void OnCommand(int id, int code) {
    if (id == IDC_STATION_PREFECTURE && code == CBN_SELCHANGE) {
      FillCities(SelectedCity());
    } else if (id == IDOK) {
      OnOk();
    } else if (id == IDCANCEL) {
      End(IDCANCEL);
    }
  }

  void OnOk() {
    const StationText typed{window::WindowText(Item(IDC_STATION_CALL)), window::WindowText(Item(IDC_STATION_GRID)),
                            SelectedPrefecture(), SelectedCity(), window::WindowText(Item(IDC_STATION_LOCATION))};
    auto read = ReadStation(typed);
    if (const auto* fault = std::get_if<StationFault>(&read)) return Refuse(*fault);
    // "Zelmor.ini" and the log keep the name in the ANSI code page: one it cannot carry would come
    // back as another name, which TQSL does not know.
    const std::wstring& location = std::get<Station>(read).station_location;
    if (base::FromAnsi(base::ToAnsi(location)) != location) {
      return Refuse({StationField::StationLocation, IDS_STATION_LOCATION_NOT_ANSI});
    }
    result_ = std::get<Station>(std::move(read));
    End(IDOK);
  }

  void Refuse(const StationFault& fault) {
    MessageBoxW(hwnd(), LoadText(fault.text_id).c_str(), LoadText(IDS_STATION_CAPTION).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    FocusControl(ControlOf(fault.field));
  }

  Station initial_;
  std::optional<Station> result_;
};

}  // namespace

std::optional<Station> AskStation(HWND owner, HINSTANCE instance, const std::optional<Station>& current) {
  StationDialogWindow dialog(current);
  if (dialog.Run(instance, IDD_STATION, owner) != IDOK) return std::nullopt;
  return dialog.result();
}

std::optional<Station> Win32StationDialog::Ask(const std::optional<Station>& current) {
  return AskStation(owner_, instance_, current);
}

}  // namespace zelmor::station
