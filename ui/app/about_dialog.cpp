#include "ui/app/about_dialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "ui/app/app.h"
#include "ui/app/app_icon.h"
#include "ui/commands/command_ids.h"

CAboutDlg::CAboutDlg(wxWindow* parent) : wxDialog(parent, 100, "About vorbel") {
  auto* column = new wxBoxSizer(wxVERTICAL);
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  wxBitmap icon;
  icon.CopyFromIcon(ApplicationIcon(32));
  top->Add(new wxStaticBitmap(this, wxID_ANY, icon), 0, wxALL, 8);
  auto* names = new wxBoxSizer(wxVERTICAL);
  names->Add(new wxStaticText(this, wxID_ANY, "vorbel, Version 3.0"), 0, wxBOTTOM, 4);
  names->Add(new wxStaticText(this, wxID_ANY, "Copyright (C) Corvane Tessaworks"));
  top->Add(names, 1, wxALL, 8);
  top->Add(new wxButton(this, wxID_OK, "OK"), 0, wxALL, 8);
  column->Add(top, 0, wxEXPAND);

  auto* home = new wxButton(this, cmd_home_page, "Vorbel Homepage");
  column->Add(home, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 8);
  column->Add(new wxStaticText(this, wxID_ANY,
                               "Any questions suggestions or bug reports please send email to:"),
              0, wxLEFT | wxRIGHT, 12);
  column->Add(new wxStaticText(this, wxID_ANY, "vorbel@corvane-tessaworks.example"), 0,
              wxALL | wxALIGN_CENTER_HORIZONTAL, 4);
  column->Add(new wxStaticText(this, wxID_ANY,
                               "Use the name of this program in the subject line please."),
              0, wxLEFT | wxRIGHT, 12);
  auto* faq = new wxButton(this, cmd_faq, "Frequently Asked Qusetions");
  column->Add(faq, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 8);
  auto* advice = new wxStaticText(this, wxID_ANY,
                                  "Be sure to check out the latest Faqs page first. It may be "
                                  "able to answer your questions.");
  advice->Wrap(FromDIP(300));
  column->Add(advice, 0, wxLEFT | wxRIGHT | wxBOTTOM, 12);
  SetSizerAndFit(column);

  home->Bind(wxEVT_BUTTON, &CAboutDlg::OnHomePage, this);
  faq->Bind(wxEVT_BUTTON, &CAboutDlg::OnFaq, this);
}

void CAboutDlg::OnHomePage(wxCommandEvent&) {
  if (the_app) the_app->OpenHelpPage(home_page_path);
}

void CAboutDlg::OnFaq(wxCommandEvent&) {
  if (the_app) the_app->OpenHelpPage(faq_page_path);
}
