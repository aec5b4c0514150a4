#pragma once

#include "cloudsettings.h"
#include "drawings/drawingfiles.h"
#include "platform/cloudlocation.h"

#include <QPointer>

#include <memory>

namespace tessaro {

class KeyValueStore;
class PenStore;
class Preferences;

// The cloud this device syncs with: it owns the key-value store and finds
// the cloud drawing folder, both from the cloud location, and moves the pen
// store to another folder when the user chooses one. The entry builds it
// before the store and attaches the store once it exists. Main thread only.
class CloudConnection final : public CloudSettings {
    Q_OBJECT

public:
    // `preferences` holds "cloud.folder" and must outlive this object.
    CloudConnection(QString dataFolder, Preferences& preferences, QObject* parent = nullptr);
    ~CloudConnection() override;

    // For the store's environment.
    KeyValueStore* keyValueStore() const { return m_keyValues.get(); }
    DrawingFiles::CloudResolver drawingResolver() const;
    // The store to move when the folder changes.
    void attach(PenStore& store);

    CloudLocation location() const { return m_location; }

    CloudStatus status() const override;
    void refresh() override;
    void chooseFolder(const QString& folder) override;

private:
    struct Check;

    void connectStore();
    void checked(bool reachable);

    QString m_dataFolder;
    Preferences& m_preferences;
    CloudLocation m_location;
    std::unique_ptr<KeyValueStore> m_keyValues;
    QPointer<PenStore> m_store;
    std::shared_ptr<Check> m_check;
    std::optional<bool> m_folderReachable;
};

} // namespace tessaro
