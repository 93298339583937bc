// Included before every checked file: what Apple's SDK has and GNUstep lacks
// outside the framework headers here, and Qt's Objective-C conveniences, which
// Qt declares only when built for Apple platforms. From public documentation.
#pragma once

#define API_AVAILABLE(...)

#ifdef __OBJC__
#import <Foundation/Foundation.h>
typedef NSString* NSKeyValueChangeKey;
#endif

// Converts as QString::fromNSString does, and still requires an NSString.
#define fromNSString(string) fromUtf8([(string) UTF8String])
