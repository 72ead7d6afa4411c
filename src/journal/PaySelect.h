#pragma once
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <functional>

class DbListView;
class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QToolBar;
class QToolButton;
class QUrl;
class TDataBase1;

// The journal of payment orders, the main window. The database is opened
// by the start-up timer a moment after the window is first shown; until
// then the window shows only the loading label.
class TPaySelectForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TPaySelectForm(QWidget *parent = nullptr);
    ~TPaySelectForm() override;

    // Binds the list and the open sequence's view hook to the data module.
    // The constructor does it when the data module already exists; start-up
    // creates the journal first and calls it after creating the data module.
    void bindData(TDataBase1 &data);

    // The caption: version and the bank directory's date text.
    static QString captionFor(const QString &bankDirDate);
    int bankDirVersion() const { return m_bankDirVersion; }
    QString bankDirDate() const { return m_bankDirDate; }
    // The bank directory update replaces both and the caption follows.
    void setBankDirectory(int version, const QString &date);
    QString tempFolder() const { return m_tempFolder; }

    // The next order number (the settings dialog's counter plus one, stored at once).
    int GetNewPayNumber();

    // Commands.
    void AddButtonClick();      // New order
    void ChButtonClick();       // Change order
    void AddCopyButtonClick();  // Copy order
    void DelButtonClick();      // Delete order
    void OpenButtonClick();     // Open order, without editing
    void ViewAllClick() { setView(0); }
    void ViewYearClick() { setView(1); }
    void ViewMonthClick() { setView(2); }
    void setView(int mode);
    void PreviewButtonClick();
    void PrintButtonClick();
    void OptionsButtonClick();
    void ExitButtonClick();
    void MenuOpenBCClick();     // the backup folder in the file manager

    // The start-up timer's step: print form, list shown, open sequence.
    void DataBaseOpenTimerTimer();
    QTimer *DataBaseOpenTimer() { return &m_openTimer; }

    DbListView *PaySelectDBGrid1 = nullptr;
    QLabel *LoadingLabel = nullptr;
    QToolBar *ToolBar = nullptr;
    QLabel *StatusPanel = nullptr;

    // Shows a folder in the system's file manager; tests replace it.
    static std::function<bool(const QUrl &)> openFolderHook;
    // Started first thing by start-up; KV_REPORT_READY prints the time from
    // it to the last order shown and ends the run (the start-up benchmark).
    static QElapsedTimer &processClock();

    // The name of the stored window placement (saveGeometry, base64).
    static QString placementSetting() { return QStringLiteral("PaySelectPlacement"); }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildList();
    void FormActivate();
    void savePlacement();
    void restorePlacement();
    void focusList();
    void reportReady();
    // Shows the editor on the current row; true when it closed with OK.
    bool showEditor();
    QAction *action(const char *name, const QString &text, void (TPaySelectForm::*slot)(), int helpTopic = 0);

    QAction *AddNewMenu = nullptr, *EditMenu1 = nullptr, *CopyMenu = nullptr, *DelMenu1 = nullptr;
    QAction *ViewAll = nullptr, *ViewYear = nullptr, *ViewMonth = nullptr;
    QAction *PreviewMenu = nullptr, *PrintMenu1 = nullptr;
    QAction *SettingMenu = nullptr, *MenuOpenBC = nullptr;
    QAction *AddMenu = nullptr, *EditMenu = nullptr, *DelMenu = nullptr; // pop-up menu of the list
    QMenu *PopupMenu = nullptr;
    QStackedWidget *m_stack = nullptr;

    QTimer m_openTimer;
    QTimer m_peerTimer; // shows what other copies sharing the folder wrote
    bool m_timerArmed = false;   // the timer is switched on by the first activation only
    int m_bankDirVersion = 0;
    QString m_bankDirDate;
    QString m_tempFolder;
    bool m_placementSaved = false;
};

extern TPaySelectForm *PaySelectForm;
