#include "alarms/actions/alarm_worker.h"
#include "shell/app/almacora_app.h"

#include <winsock2.h>

#include <commctrl.h>
#include <mmsystem.h>

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "alarms/actions/actions_sheet.h"
#include "dialogs/event/event_edit_dlg.h"
#include "dialogs/small/help_hook.h"
#include "dialogs/options/options_sheet.h"
#include "framework/dialogs/message_box.h"
#include "framework/docview/doc_template.h"
#include "model/settings/program_settings.h"
#include "model/services/model_services.h"
#include "res/resource.h"
#include "shell/app/about_dlg.h"
#include "shell/event_list/grid_view.h"
#include "shell/app/hand_over.h"
#include "shell/app/help_viewer.h"
#include "shell/frame/main_frame.h"
#include "shell/app/shell_document.h"
#include "shell/app/splash_wnd.h"
#include "storage/services/storage_services.h"
#include "storage/ui/sharing_hooks.h"

std::string g_ProgramFolder;

namespace {

std::string ProgramFolder() {
  char path[MAX_PATH + 1] = "";
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path);
  size_t slash = s.find_last_of('\\');
  s = slash == std::string::npos ? std::string() : s.substr(0, slash + 1);
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string CurrentFolder() {
  char dir[MAX_PATH] = "";
  DWORD n = ::GetCurrentDirectoryA(sizeof dir, dir);
  std::string s = (n > 0 && n < sizeof dir) ? std::string(dir) : std::string();
  if (!s.empty() && s.back() != '\\') s += '\\';
  return s;
}

// The shared dialogs' Help buttons and F1 open their topic through us.
void ShowHelpTopicOfApp(DWORD context) {
  if (auto* app = dynamic_cast<CAlmacoraApp*>(framework::TheApp())) app->WinHelp(context, HELP_CONTEXT);
}

}  // namespace

CAlmacoraApp::CAlmacoraApp() { framework::SetMessageBoxTitle("Almacora"); }

CAlmacoraApp::~CAlmacoraApp() {
  if (m_bSocketsStarted) ::WSACleanup();
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CAlmacoraApp, framework::CApplication)
  framework::OnCommand<&CAlmacoraApp::OnAppAbout>(ID_APP_ABOUT),
  framework::OnCommand<&CAlmacoraApp::OnHelp>(ID_HELP),
FRAMEWORK_END_MESSAGE_MAP()

bool CAlmacoraApp::InitInstance() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  WSADATA wsa;
  m_bSocketsStarted = ::WSAStartup(MAKEWORD(2, 0), &wsa) == 0;
  g_ProgramFolder = ProgramFolder();

  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_WIN95_CLASSES | ICC_DATE_CLASSES;
  ::InitCommonControlsEx(&icc);

  dialogs::SetHelpTopicHook(&ShowHelpTopicOfApp);
  GetSharingHooks().showHelp = &ShowHelpTopicOfApp;
  g_Settings.LoadSettings();
  g_Settings.ScreenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  g_Settings.ScreenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  GetModelServices().shell = &m_services;
  GetModelServices().prompts = &m_prompts;
  GetStorageServices().prompts = &m_storagePrompts;
  options::SetOptionsHost(&m_optionsHost);
  dialogs::CEventEditDlg::AlarmActionsHook() = [](HWND parent, CCalEvent* event) {
    alarms::CActionsPropertySheet sheet("Alarm Actions", parent, 0);
    sheet.SetEvent(event);
    sheet.DoModal();
  };
  dialogs::CEventEditDlg::TypeSetupHook() = [](HWND parent) {
    return options::RunOptionsSheet(parent, options::COptionsPropertySheet::kTypesPage) == IDOK;
  };

  const std::string line = GetCommandLine();
  const std::string trimmed = TrimmedCommandLine(line);
  if (IsWebcalLine(trimmed) && HandOverToSearchOwner(line)) return false;

  if (!g_Settings.AllowMultiple) {
    if (HWND other = ::FindWindowA(kMainWindowClass, nullptr)) {
      if (!trimmed.empty()) {
        SendCommandLine(other, IsWebcalLine(trimmed) ? line : HandOverPath(trimmed, CurrentFolder()));
      } else {
        BringWindowToFront(other);
      }
      return false;
    }
  }

  if (!StartMainWindow()) return false;

  PlayStartupSound();

  DWORD timeout = 0;
  if (::SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0) && timeout == 0) {
    ::SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(10000)),
                            SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  }
  return true;
}

bool CAlmacoraApp::StartMainWindow() {
  if (!m_bClassRegistered) {
    HICON icon = ::LoadIconA(GetInstanceHandle(), "IDI_MAINICON");
    if (!framework::CWindow::RegisterClass(GetInstanceHandle(), kMainWindowClass, icon,
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), CS_DBLCLKS))
      return false;
    m_bClassRegistered = true;
  }
  if (g_Settings.SplashEnabled) {
    auto* splash = new CSplashWnd();
    if (splash->Create(nullptr)) {
      m_pSplash = splash;
      ::UpdateWindow(splash->GetSafeHwnd());
      // Some window systems put what was painted on the screen only when the
      // thread next looks for messages, and start-up may not look for a
      // while: look once now, or the splash shows blank while files load.
      MSG pending;
      ::PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE);
    } else {
      delete splash;
    }
  }
  AddDocTemplate(std::make_unique<framework::CSingleDocTemplate>(
      IDR_MAINFRAME, [] { return std::make_unique<CShellDocument>(); }, [] { return new CMainFrame(); },
      [] { return new CGridView(); }));
  if (!OnFileNew()) return false;
  auto* doc = static_cast<CShellDocument*>(GetDocTemplate()->GetDocument());
  CMainFrame* frame = CMainFrame::Get();
  if (!frame) return false;
  // A "/webcal" start subscribes once the window exists; a subscription
  // that does not complete ends start-up.
  if (!doc->Core().webcalAddress.empty() && !frame->SubscribeToUrl(doc->Core().webcalAddress))
    doc->SetStartupCancelled();
  if (doc->IsStartupCancelled()) {
    frame->DestroyWindow();
    return false;
  }
  frame->UpdateFilterMenu();
  doc->Core().calendars().UpdateMainWindowTitle();
  return true;
}

void CAlmacoraApp::PlayStartupSound() {
  if (!g_Settings.SoundEnabled) return;
  auto* doc = static_cast<CShellDocument*>(GetDocTemplate()->GetDocument());
  const int mode = g_Settings.WinStartupMode;
  if (!(mode == 1 || (mode == 3 && doc->GetWarningCount() != 0))) return;
  std::string file = g_Settings.SoundFile;
  if (file.empty() || file.find('\\') == std::string::npos) file = g_ProgramFolder + file;
  if (!::sndPlaySoundA(file.c_str(), SND_ASYNC | SND_NODEFAULT)) ::MessageBeep(0xFFFFFFFF);
}

void CAlmacoraApp::FinishSplash() {
  if (m_pSplash) m_pSplash->DestroyWindow();
  m_pSplash = nullptr;
}

int CAlmacoraApp::ExitInstance() {
  // Workers are stopped and joined before sockets and statics go; one held
  // in a call that cannot be cut short (a mail program) touches nothing
  // of ours after this.
  alarms::StopAlarmWorkers(10000);
  if (m_pSplash) FinishSplash();
  dialogs::SetHelpTopicHook(nullptr);
  GetSharingHooks().showHelp = nullptr;
  GetModelServices().shell = nullptr;
  GetModelServices().prompts = nullptr;
  GetStorageServices().prompts = nullptr;
  options::SetOptionsHost(nullptr);
  dialogs::CEventEditDlg::TypeSetupHook() = nullptr;
  dialogs::CEventEditDlg::AlarmActionsHook() = nullptr;
  return CApplication::ExitInstance();
}

void CAlmacoraApp::WinHelp(DWORD data, UINT command) {
  if (command != HELP_CONTEXT && command != HELP_FINDER) return;
  // HTML Help is looked up at run time; without it, or without the help
  // file, the user is told once per run instead of nothing happening.
  using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  static HMODULE module = ::LoadLibraryA("hhctrl.ocx");
  auto fn = module ? reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(::GetProcAddress(module, "HtmlHelpA")))
                   : nullptr;
  const std::string file = g_ProgramFolder + "almacora.chm";
  std::string fault;
  if (!fn) {
    fault = "Help cannot be shown: the HTML Help viewer (hhctrl.ocx) is not installed.";
  } else if (::GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    fault = "Help cannot be shown: the help file\n" + file + "\nis missing.";
  } else {
    const bool context = command == HELP_CONTEXT;
    // The viewer belongs to the window that asked: owned by the main
    // window it would sit behind the dialog's disabled owner's group and
    // take the dialog away while the user reads. A viewer another window
    // owns is closed first, as the viewer would keep its first owner.
    HWND owner = helpviewer::AskingWindow(GetMainWindow());
    // A viewer whose owner closed is gone, but the library still holds it
    // and hands its dead handle back: close them all so the next call
    // makes a new one.
    if (m_helpViewer && (!::IsWindow(m_helpViewer) || ::GetWindow(m_helpViewer, GW_OWNER) != owner)) {
      fn(nullptr, nullptr, 0x12 /* HH_CLOSE_ALL */, 0);
      m_helpViewer = nullptr;
    }
    HWND viewer = nullptr;
    for (int attempt = 0; attempt < 2 && !viewer; ++attempt) {
      viewer = fn(owner, file.c_str(), context ? 15 /* HH_HELP_CONTEXT */ : 0 /* HH_DISPLAY_TOPIC */,
                  context ? data : 0);
      if (viewer && !::IsWindow(viewer)) {
        fn(nullptr, nullptr, 0x12 /* HH_CLOSE_ALL */, 0);
        viewer = nullptr;
      }
    }
    if (viewer) {
      if (viewer != m_helpViewer) helpviewer::PlaceBeside(viewer, owner, GetMainWindow());
      helpviewer::BringToFront(viewer);
      m_helpViewer = viewer;
      return;
    }
    fault = "Help cannot be shown: the help viewer could not open\n" + file + ".";
  }
  if (m_bHelpFaultShown) return;
  m_bHelpFaultShown = true;
  framework::MessageBox(fault, MB_OK | MB_ICONEXCLAMATION);
}

void CAlmacoraApp::OnAppAbout() {
  CAboutDlg dlg;
  dlg.DoModal();
}

void CAlmacoraApp::OnHelp() { WinHelp(1, HELP_CONTEXT); }
