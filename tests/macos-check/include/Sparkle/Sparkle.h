// The part of the Sparkle 2 update framework the sources use, from its public documentation.
#pragma once

#import <Foundation/Foundation.h>

@protocol SPUUpdaterDelegate;
@protocol SPUStandardUserDriverDelegate;

@interface SPUUpdater : NSObject
@property (readonly) BOOL canCheckForUpdates;
@property BOOL automaticallyChecksForUpdates;
@end

@interface SPUStandardUpdaterController : NSObject
@property (readonly) SPUUpdater* updater;
- (instancetype)initWithStartingUpdater:(BOOL)startUpdater
                        updaterDelegate:(id<SPUUpdaterDelegate>)updaterDelegate
                     userDriverDelegate:(id<SPUStandardUserDriverDelegate>)userDriverDelegate;
- (IBAction)checkForUpdates:(id)sender;
@end
