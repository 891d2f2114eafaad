// TURLLabel: a text label that is a link. It shows its caption (or its URL
// while the caption is empty) in the link colour, underlined, with a hand
// pointer; a click, or Space while it has the focus, asks the desktop to
// open the URL with its default handler (mail client for "mailto:", browser
// for "http://") and then emits clicked(). The caption rules are
// URLLabelCaption / URLLabelText of common/AboutBox.h.
#pragma once

#include <QLabel>
#include <QUrl>

#include <functional>

namespace oravent::gui {

class TURLLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString URL READ URL WRITE SetURL)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
    explicit TURLLabel(QWidget* Parent = nullptr);

    QString URL() const { return FURL; }
    // A caption that was empty or showed the old URL follows the new one.
    void SetURL(const QString& Value);
    QString Caption() const { return FCaption; }
    // An empty caption shows the URL.
    void SetCaption(const QString& Value);

    // Asks the desktop to open URL (what a click does, before clicked()).
    void Open();

    // Replaces the desktop's handler (tests record the addresses instead of
    // starting a browser). Returns whether the address was taken.
    static std::function<bool(const QUrl&)> OpenHook;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* E) override;
    void mouseReleaseEvent(QMouseEvent* E) override;
    void keyPressEvent(QKeyEvent* E) override;
    void paintEvent(QPaintEvent* E) override;

private:
    void ShowText();
    QString FURL;
    QString FCaption;
    bool FPressed = false;
};

} // namespace oravent::gui
