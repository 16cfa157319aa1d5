#pragma once

#include <QByteArray>
#include <QList>

#include <cstdio>
#include <cstdlib>

// A fuzz target: code that must survive any bytes, with seeds to mutate from. `run` has the
// shape of a libFuzzer entry point, so a target could also be built for an engine that follows
// coverage. A target is one file that defines its functions and registers them with
// CONFLUX_FUZZ_TARGET.
struct FuzzTarget {
    const char* name;
    QList<QByteArray> (*seeds)();
    void (*run)(const QByteArray& input);
    qsizetype maxLength = 4096;         // mutants are cut to this length
    QList<QByteArray> dictionary = {};  // tokens worth inserting (format keywords, markers)
};

QList<FuzzTarget>& fuzzTargets();

struct FuzzRegistration {
    explicit FuzzRegistration(FuzzTarget target) { fuzzTargets().append(std::move(target)); }
};

#define CONFLUX_FUZZ_TARGET(id, ...)                 \
    static const FuzzRegistration id##Registration { \
        FuzzTarget {                                 \
#id, __VA_ARGS__                         \
        }                                            \
    }

// A broken promise of the code under test that is no crash: reported like one.
#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, \
                         #condition);                                                  \
            std::abort();                                                              \
        }                                                                              \
    } while (false)
