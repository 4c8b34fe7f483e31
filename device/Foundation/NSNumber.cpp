#include "device/Foundation/Foundation.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

enum NumberKind : int { kBoolean, kInteger, kReal };

int& Kind(id self) {
  return InstanceVariableOf<int>(self, "_kind");
}
long long& Integer(id self) {
  return InstanceVariableOf<long long>(self, "_integer");
}
double& Real(id self) {
  return InstanceVariableOf<double>(self, "_real");
}

id InitWithBool(id self, SEL, bool value) {
  Kind(self) = kBoolean;
  Integer(self) = value ? 1 : 0;
  return self;
}

id InitWithLongLong(id self, SEL, long long value) {
  Kind(self) = kInteger;
  Integer(self) = value;
  return self;
}

id InitWithDouble(id self, SEL, double value) {
  Kind(self) = kReal;
  Real(self) = value;
  return self;
}

double DoubleValue(id self, SEL) {
  return Kind(self) == kReal ? Real(self) : static_cast<double>(Integer(self));
}

long long LongLongValue(id self, SEL) {
  return Kind(self) == kReal ? static_cast<long long>(Real(self)) : Integer(self);
}

bool BoolValue(id self, SEL selector) {
  RecordCall(self, selector);
  return Kind(self) == kReal ? Real(self) != 0.0 : Integer(self) != 0;
}

bool IsEqual(id self, SEL, id other) {
  return other != nullptr && IsKindOf(other, "NSNumber") &&
         DoubleValue(self, nullptr) == DoubleValue(other, nullptr);
}

}  // namespace

void RegisterNSNumber() {
  DefineClass("NSNumber", "NSObject",
              {{"_kind", sizeof(int), "i"},
               {"_integer", sizeof(long long), "q"},
               {"_real", sizeof(double), "d"}},
              [](Class cls) {
                AddInstanceMethod(cls, "initWithBool:", &InitWithBool);
                AddInstanceMethod(cls, "initWithLongLong:", &InitWithLongLong);
                AddInstanceMethod(cls, "initWithDouble:", &InitWithDouble);
                AddInstanceMethod(cls, "boolValue", &BoolValue);
                AddInstanceMethod(cls, "doubleValue", &DoubleValue);
                AddInstanceMethod(cls, "longLongValue", &LongLongValue);
                AddInstanceMethod(cls, "isEqual:", &IsEqual);
              });
}

namespace {
id AllocNumber() {
  return Message<id>(reinterpret_cast<id>(objc_getClass("NSNumber")), "alloc");
}
}  // namespace

id NewBoolNumber(bool value) {
  return Message<id>(AllocNumber(), "initWithBool:", value);
}
id NewIntegerNumber(long long value) {
  return Message<id>(AllocNumber(), "initWithLongLong:", value);
}
id NewRealNumber(double value) {
  return Message<id>(AllocNumber(), "initWithDouble:", value);
}

}  // namespace device
