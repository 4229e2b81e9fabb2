#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>

class CPhotoBox;
class CRegisterAsOf;
class CRegisterChanges;
class QKeyEvent;
class QLabel;
class QPushButton;

// The read-only look at one employee: captioned values (code, name, sex, telephone,
// fax, postal code, both address lines) beside the photo. The caller
// sets the title and the employee's ID before running it; the form reads the
// employee when it is first shown and again when it changes elsewhere, and
// never writes it.
class CEmployeeViewDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEmployeeViewDlg)

public:
    enum EControlId { IDC_CODE = 1020, IDC_NAME, IDC_SEX, IDC_TEL, IDC_FAX, IDC_YUU, IDC_PHOTO, IDC_JUU1, IDC_JUU2 };

    explicit CEmployeeViewDlg(QWidget *parent = nullptr);

    // Shows the employee as they stood at the end of that day, and follows no
    // changes; the photo is today's, as no older one is kept. None: as they are.
    void SetAsOf(std::shared_ptr<const CRegisterAsOf> asOf) { m_pAsOf = std::move(asOf); }

    // One of the eight value statics, or none.
    QLabel *Control(int nId) const;
    CPhotoBox *GetPhotoBox() const { return m_pPhoto; }
    QPushButton *HistoryButton() const { return m_pHistory; }
    // 変更履歴 of the employee shown (the button or F4).
    void OnHistory();
    QPushButton *CorrectButton() const { return m_pCorrect; }
    // The master form at the employee shown (the button or F5); not on a past day.
    void OnCorrect();

    void done(int result) override;

    QString m_strTitle;
    qint32 m_nEmployeeID = 0;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void OnInitDialog();

private:
    void DoDataExchange();
    // False when the employee is gone.
    bool ReadEmployee();
    bool ReadEmployeeAsOf();
    template <typename SEmployee>
    void Take(const SEmployee &employee);
    void FollowChanges(const CRegisterChanges &changes);
    void SayInStatusBar(const QString &text);
    void PutCaptions();

    QLabel *m_pControls[9] = {}; // by id - IDC_CODE; the photo's slot stays empty
    QLabel *m_pPlaceholder = nullptr;
    CPhotoBox *m_pPhoto = nullptr;
    QPushButton *m_pHistory = nullptr;
    QPushButton *m_pCorrect = nullptr;
    QString m_strCode, m_strName, m_strSex, m_strTel, m_strFax, m_strYuu, m_strJuu1, m_strJuu2;
    bool m_bInitDone = false;
    bool m_bCaptionsReset = false;
    std::optional<QString> m_statusBefore; // set once the form has told something there
    std::shared_ptr<const CRegisterAsOf> m_pAsOf;
};
