#pragma once
//! The base module: login, database test, key test, password change, the product
//! variant (规格) lists of a product class, and the master-data providers.
//! Until its LogIn succeeds, an instance answers only LogIn, DBActive and the login user
//! list (dspUserList); everything else is refused with "请先登录！".

#include "ProviderModule.h"

namespace korvane {

class TLumoDatasetprovider;

class TBaseRDM : public ProviderModule
{
    Q_OBJECT
public:
    explicit TBaseRDM(QObject *parent = nullptr);
    ~TBaseRDM() override; // ends the session its login opened

    //! The module's providers as data (also read by tests).
    static ProviderDefs providerDefs();

    Packet getRecords(const GetRecordsRequest &request) override;
    ApplyResult applyUpdates(const QString &provider, const ChangeSet &delta,
                             int maxErrors) override;
    Params getParams(const QString &provider) override;
    void execute(const QString &provider, const QString &commandText,
                 const Params &params) override;

    //! The values of one variant kind (bCode, Name) as a data packet
    //! (QVariant::fromValue(Packet)); null when the statement fails.
    QVariant GetSpec(const QString &hCode);
    //! One product class with the names of its six variant kinds; null for an unknown
    //! class or a failing statement.
    QVariant GetSpech(const QString &classCode);
    //! Checks the user code and password against XPSEmp. Outputs in order: id (a
    //! non-negative session id; "-5" for a wrong user or password; "-2" when the database
    //! cannot be reached), UserInfo (LoginUserInfo text), SysSet, PurView, Para1 (empty).
    void LogIn(const QString &userId, const QString &password, QVariantList *out);
    bool DBActive();
    //! Whether a row with the key exists: fieldNames and values are comma lists of equal
    //! length (an item in double quotes may hold commas). Throws ServerError for an
    //! unknown table or field, or a field without a value.
    bool keyExist(const QString &tableName, const QString &fieldNames, const QString &values);
    //! Stores the hash of a new password for the logged-in operator; false for another
    //! user, an empty password, one longer than 16 characters, or a failing statement.
    bool SetPWD(const QString &userCode, const QString &password);

    //! The rights of an employee as Grants text; needs "人员权限" (ServerError otherwise).
    QString GetRights(const QString &empCode);
    //! Replaces the employee's rights with the Grants text; needs "人员权限". Refused
    //! (ServerError, nothing stored) for a text that is no rights list, an employee that
    //! does not exist, or rights that would leave nobody with "人员权限".
    bool SetRights(const QString &empCode, const QString &rightsText);
    //! Sets (or resets) the initial password of an employee, stored as its hash; needs
    //! "人员权限". An empty password or one longer than 16 characters is refused.
    bool SetUserPWD(const QString &empCode, const QString &password);
    //! The system parameters as SystemParameters text; open to every operator.
    QString GetSysPara();
    //! Stores the system parameters given as SystemParameters text; needs "系统参数".
    bool SetSysPara(const QString &parametersText);

    QString operatorCode() const override { return m_userCode; }

    //! The session and user of the successful login; empty before.
    QString sessionId() const { return m_sessionId; }
    QString userCode() const { return m_userCode; }

    static constexpr int MaxPasswordLength = 16;

protected:
    QVariant invoke(const QString &method, const QVariantList &inputs, QVariantList *out) override;

private:
    void requireLogin() const;
    void requireSystemRight(int right);
    void endSession();
    QVariant packOnce(TLumoDatasetprovider *buffer, const Params &params);

    TLumoDatasetprovider *m_specValues; // packing buffers of GetSpec and GetSpech
    TLumoDatasetprovider *m_specKinds;
    QString m_sessionId;
    QString m_userCode;
};

//! The items of a comma list: separated by commas, blanks around an item dropped, an item
//! in double quotes kept as written ("" stands for one quote).
QStringList splitCommaList(const QString &text);

} // namespace korvane
