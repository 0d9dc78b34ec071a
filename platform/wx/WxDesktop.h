// WxDesktop: the platform services on wxWidgets. Message boxes, the modal dialogs built from
// their templates, the main window, the wait cursor, the message pump, the context menus,
// and the progress and splash windows.
#pragma once

#include "platform/Desktop.h"

namespace wxui {

class ExplorerWindow;
class TemplateDialog;

class WxDesktop : public platform::Desktop {
 public:
  int messageBox(const std::string& text, const std::string& caption, unsigned style) override;
  int runPortSelect(PortSelectDialog& dialog) override;
  int runTemplateDialog(int templateId) override;
  int runAbout(AboutDialog& dialog) override;
  int runExplorer(ExplorerDialog& dialog) override;
  void beginWaitCursor() override;
  void endWaitCursor() override;
  void processPendingMessages() override;
  int trackPopupMenu(int menuId, int x, int y) override;
  platform::Window* mainWindow() override;
  platform::Window* activePopup() override;
  std::unique_ptr<platform::ProgressWindow> createProgressWindow() override;
  std::unique_ptr<platform::SplashScreen> createSplash(int bitmapId, platform::Window* parent) override;
  bool isShiftDown() const override;

 private:
  ExplorerWindow* explorer_ = nullptr;  // while the main window exists
};

}  // namespace wxui
