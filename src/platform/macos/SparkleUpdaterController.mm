#include "stores/UpdaterController.h"

#import <Foundation/Foundation.h>
#import <Sparkle/Sparkle.h>

class SparkleUpdaterController;

// Relays the updater's key-value-observable canCheckForUpdates to the C++ side.
@interface VentrelCanCheckObserver : NSObject
- (instancetype)initWithOwner:(SparkleUpdaterController*)owner updater:(SPUUpdater*)updater;
- (void)invalidate;
@end

// The update framework's standard controller: its updater starts with it, and
// it shows its own windows for checks and updates.
class SparkleUpdaterController final : public UpdaterController {
public:
    SparkleUpdaterController()
        : m_controller([[SPUStandardUpdaterController alloc] initWithStartingUpdater:YES
                                                                     updaterDelegate:nil
                                                                  userDriverDelegate:nil])
    {
        // The initial value arrives during this call.
        m_observer = [[VentrelCanCheckObserver alloc] initWithOwner:this updater:m_controller.updater];
    }

    ~SparkleUpdaterController() override { [m_observer invalidate]; }

    bool canCheckForUpdates() const override { return m_canCheck; }
    bool automaticallyChecksForUpdates() const override { return m_controller.updater.automaticallyChecksForUpdates; }
    void setAutomaticallyChecksForUpdates(bool enabled) override
    {
        m_controller.updater.automaticallyChecksForUpdates = enabled;
    }
    void checkForUpdates() override { [m_controller checkForUpdates:nil]; }

    void setCanCheck(bool canCheck)
    {
        if (canCheck == m_canCheck)
            return;
        m_canCheck = canCheck;
        emit canCheckForUpdatesChanged(canCheck);
    }

private:
    SPUStandardUpdaterController* m_controller;
    VentrelCanCheckObserver* m_observer = nil;
    bool m_canCheck = false;
};

@implementation VentrelCanCheckObserver {
    SparkleUpdaterController* _owner;
    SPUUpdater* _updater;
}

- (instancetype)initWithOwner:(SparkleUpdaterController*)owner updater:(SPUUpdater*)updater
{
    if ((self = [super init])) {
        _owner = owner;
        _updater = updater;
        [_updater addObserver:self
                   forKeyPath:@"canCheckForUpdates"
                      options:NSKeyValueObservingOptionInitial | NSKeyValueObservingOptionNew
                      context:nullptr];
    }
    return self;
}

- (void)invalidate
{
    if (_updater)
        [_updater removeObserver:self forKeyPath:@"canCheckForUpdates"];
    _updater = nil;
    _owner = nullptr;
}

- (void)observeValueForKeyPath:(NSString*)keyPath
                      ofObject:(id)object
                        change:(NSDictionary<NSKeyValueChangeKey, id>*)change
                       context:(void*)context
{
    (void)keyPath;
    (void)object;
    (void)context;
    if (_owner)
        _owner->setCanCheck([change[NSKeyValueChangeNewKey] boolValue]);
}

@end

std::unique_ptr<UpdaterController> UpdaterController::create()
{
    return std::make_unique<SparkleUpdaterController>();
}
