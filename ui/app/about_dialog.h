#pragma once
#include <wx/dialog.h>

// "About vorbel": the version, the notice, and buttons for the home page and the
// questions page.
class CAboutDlg : public wxDialog {
 public:
  explicit CAboutDlg(wxWindow* parent);

  void OnHomePage(wxCommandEvent& event);
  void OnFaq(wxCommandEvent& event);
};

inline constexpr const char* site_address = "https://corvane-tessaworks.example";
inline constexpr const char* home_page_path = "/vorbel";
inline constexpr const char* faq_page_path = "/vorbel/faqs.htm";
