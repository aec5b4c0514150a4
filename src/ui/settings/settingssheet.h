#pragma once

#include "choicemenubutton.h"

#include <QWidget>

class QLabel;
class QScrollArea;

namespace tessaro {

class CloudSettings;
class FileDialogs;
class GhostButton;
class PenStore;
class SymbolView;
class UrlOpener;

// The picker's languages: the system's first, then every table language
// under its own name.
QList<ChoiceMenuButton::Option> languageOptions();

// The settings sheet's content, one scrolling column: the language and
// appearance menus; the cloud card (whether the place is reachable, the
// quotes left out of the cloud copy, the folder and its chooser); the ways
// to send quotes in; feedback, rating and the website; and the about card
// with the version. The menus act on the installed language and appearance
// managers; links go out through `urls`.
class SettingsSheet final : public QWidget {
    Q_OBJECT

public:
    SettingsSheet(PenStore& store, CloudSettings& cloud, FileDialogs& dialogs, UrlOpener& urls,
                  QWidget* parent = nullptr);

    ChoiceMenuButton* languageButton() const { return m_language; }
    ChoiceMenuButton* appearanceButton() const { return m_appearance; }
    QLabel* cloudStatus() const { return m_cloudStatus; }
    QLabel* truncation() const { return m_truncation; }
    QLabel* cloudPlace() const { return m_cloudPlace; }
    QLabel* cloudFixed() const { return m_cloudFixed; }
    GhostButton* chooseFolderButton() const { return m_chooseFolder; }
    QLabel* servicesHint() const { return m_servicesHint; }
    QLabel* hotkeyHint() const { return m_hotkeyHint; }
    QAbstractButton* feedbackButton() const { return m_feedback; }
    QAbstractButton* rateButton() const { return m_rate; }
    QAbstractButton* websiteButton() const { return m_website; }
    QLabel* versionLabel() const { return m_version; }

    void retranslate();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildPreferences();
    QWidget* buildCloud();
    QWidget* buildQuotes();
    QWidget* buildSupport();
    QWidget* buildAbout();
    QWidget* section(QLabel* title, QWidget* card);
    void showCloud();
    void applyLook(QScrollArea* scroll);
    void chooseFolder();

    PenStore& m_store;
    CloudSettings& m_cloud;
    FileDialogs& m_dialogs;
    UrlOpener& m_urls;

    QLabel* m_languageTitle = nullptr;
    ChoiceMenuButton* m_language = nullptr;
    QLabel* m_appearanceTitle = nullptr;
    ChoiceMenuButton* m_appearance = nullptr;
    QLabel* m_cloudTitle = nullptr;
    SymbolView* m_cloudSymbol = nullptr;
    QLabel* m_cloudStatus = nullptr;
    QLabel* m_truncation = nullptr;
    QLabel* m_cloudPlace = nullptr;
    QLabel* m_cloudFixed = nullptr;
    GhostButton* m_chooseFolder = nullptr;
    QLabel* m_quotesTitle = nullptr;
    QLabel* m_servicesHint = nullptr;
    QLabel* m_keepCommand = nullptr;
    QLabel* m_hotkeyHint = nullptr;
    QLabel* m_supportTitle = nullptr;
    QAbstractButton* m_feedback = nullptr;
    QAbstractButton* m_rate = nullptr;
    QAbstractButton* m_website = nullptr;
    QLabel* m_aboutTitle = nullptr;
    QLabel* m_aboutBody = nullptr;
    QLabel* m_privacy = nullptr;
    QLabel* m_contact = nullptr;
    QLabel* m_versionTitle = nullptr;
    QLabel* m_version = nullptr;
};

// What the window shows in the settings sheet.
QWidget* makeSettingsSheet(PenStore& store, CloudSettings& cloud, FileDialogs& dialogs,
                           UrlOpener& urls);

} // namespace tessaro
