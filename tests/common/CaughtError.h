#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "support/Error.h"

namespace trayhound {

// The Error the call throws, or nothing (and a test failure) when it returns normally.
template <class Call>
std::optional<Error> CaughtError(Call&& call) {
    try {
        call();
    } catch (const Error& error) {
        return error;
    }
    ADD_FAILURE() << "expected an Error, but the call returned normally";
    return std::nullopt;
}

}  // namespace trayhound
