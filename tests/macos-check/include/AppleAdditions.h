// Included before every checked file: what Apple's SDK has and GNUstep lacks
// beyond the framework headers here (availability macros, newer Foundation
// names), and Qt's Objective-C conveniences, which Qt declares only when it
// is built for Apple platforms. Declared from public documentation only.
#pragma once

#ifndef API_AVAILABLE
#define API_AVAILABLE(...)
#endif
#ifndef NS_SWIFT_NAME
#define NS_SWIFT_NAME(...)
#endif

#ifdef __OBJC__
#import <Foundation/Foundation.h>
typedef NSString* NSKeyValueChangeKey;
#endif

// QString::fromNSString(s) has the meaning of a conversion from UTF-8, and
// this spelling still requires s to answer UTF8String.
#define fromNSString(string) fromUtf8([(string) UTF8String])
