#pragma once

#include "store/notices.h"


#include <functional>
#include <memory>

class QWidget;

namespace klavoro {

class frmPopup;
class frmSplash;

// The notice windows of the program: one progress window and one pop-up,
// each made when first needed and reused for every later message.
class NoticeWindows : public Notices {
public:
    // `mainWindow` names the window that centred progress messages sit over.
    explicit NoticeWindows(std::function<QWidget*()> mainWindow);
    ~NoticeWindows() override;

    void showProgress(const QString& text, int displayMs = 0, bool centred = false) override;
    void showPopup(const QString& text, qint32 colour = -1) override;
    void closePopup() override;

    bool isProgressShowing() const;
    bool isPopupShowing() const;
    // The windows, null until first shown.
    frmSplash* progressWindow() const { return m_splash.get(); }
    frmPopup* popupWindow() const { return m_popup.get(); }

private:
    void centreOverMainWindow();

    std::function<QWidget*()> m_main;
    std::unique_ptr<frmSplash> m_splash;
    std::unique_ptr<frmPopup> m_popup;
};

} // namespace klavoro
