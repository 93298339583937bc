// The Accessibility calls and Core Graphics geometry the sources use, from Apple's public documentation.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <sys/types.h>

extern "C" {

typedef double CGFloat;
typedef struct CGPoint { CGFloat x, y; } CGPoint;
typedef struct CGSize { CGFloat width, height; } CGSize;
CGPoint CGPointMake(CGFloat x, CGFloat y);
CGSize CGSizeMake(CGFloat width, CGFloat height);

typedef int32_t AXError;
enum { kAXErrorSuccess = 0, kAXErrorFailure = -25200 };
typedef uint32_t AXValueType;
enum { kAXValueTypeCGPoint = 1, kAXValueTypeCGSize = 2 };
typedef const struct __AXUIElement* AXUIElementRef;
typedef const struct __AXValue* AXValueRef;

extern const CFStringRef kAXTrustedCheckOptionPrompt;
Boolean AXIsProcessTrustedWithOptions(CFDictionaryRef options);
CFTypeID AXUIElementGetTypeID(void);
AXUIElementRef AXUIElementCreateApplication(pid_t pid);
AXError AXUIElementCopyAttributeValue(AXUIElementRef element, CFStringRef attribute, CFTypeRef* value);
AXError AXUIElementSetAttributeValue(AXUIElementRef element, CFStringRef attribute, CFTypeRef value);
CFTypeID AXValueGetTypeID(void);
AXValueRef AXValueCreate(AXValueType theType, const void* valuePtr);
Boolean AXValueGetValue(AXValueRef value, AXValueType theType, void* valuePtr);

}
