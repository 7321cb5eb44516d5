// Each fault changes the reply in the one way a master is meant to detect.
#include "sim/faults.h"

#include <gtest/gtest.h>

namespace {

sim::Request Req(uint8_t function)
{
    sim::Request r;
    r.address = 5;
    r.function = function;
    return r;
}

sim::ReplyPlan Apply(sim::Fault::Kind kind, uint8_t function, Bytes reply_pdu, sim::Fault f = {})
{
    f.kind = kind;
    sim::ReplyPlan plan;
    plan.bytes = BuildFrame(5, reply_pdu[0], Bytes(reply_pdu.begin() + 1, reply_pdu.end()));
    sim::ApplyFault(f, Req(function), &plan);
    return plan;
}

TEST(Faults, FieldFaultsKeepTheChecksumRightSoLaterChecksAreReached)
{
    Bytes read_pdu{3, 2, 0x12, 0x34};
    auto wrong_address = Apply(sim::Fault::WrongAddress, 3, read_pdu);
    EXPECT_EQ(wrong_address.bytes, BuildFrame(6, 3, {2, 0x12, 0x34}));
    auto wrong_function = Apply(sim::Fault::WrongFunction, 3, read_pdu);
    EXPECT_EQ(wrong_function.bytes, BuildFrame(5, 4, {2, 0x12, 0x34}));
    auto count = Apply(sim::Fault::WrongByteCount, 3, read_pdu);
    EXPECT_EQ(count.bytes, BuildFrame(5, 3, {3, 0x12, 0x34}));
    sim::Fault f;
    f.byte_count = 21;
    auto id_count = Apply(sim::Fault::WrongByteCount, 17, {17, 22, 1, 2}, f);
    EXPECT_EQ(id_count.bytes[2], 21);
    EXPECT_TRUE(CrcMatches(id_count.bytes.data(), id_count.bytes.size()));

    f.count = 2;
    auto extra = Apply(sim::Fault::ExtraBytes, 3, read_pdu, f);
    EXPECT_EQ(extra.bytes, BuildFrame(5, 3, {2, 0x12, 0x34, 0, 0}));
    f.trailing_garbage = true;
    auto trailing = Apply(sim::Fault::ExtraBytes, 3, read_pdu, f);
    ASSERT_EQ(trailing.bytes.size(), 9u);
    EXPECT_TRUE(CrcMatches(trailing.bytes.data(), 7));
}

TEST(Faults, EchoFaultsTouchOnlyTheirField)
{
    Bytes coil{5, 0, 9, 0xFF, 0x00};
    EXPECT_EQ(Apply(sim::Fault::WrongEchoAddress, 5, coil).bytes, BuildFrame(5, 5, {0, 10, 0xFF, 0}));
    EXPECT_EQ(Apply(sim::Fault::WrongEchoValue, 5, coil).bytes, BuildFrame(5, 5, {0, 9, 0, 0}));
    Bytes multi{16, 0, 0, 0, 3};
    EXPECT_EQ(Apply(sim::Fault::WrongEchoValue, 16, multi).bytes, BuildFrame(5, 16, {0, 0, 0, 4}));
    // Reads have no echo: left alone.
    Bytes read{3, 2, 0, 1};
    EXPECT_EQ(Apply(sim::Fault::WrongEchoValue, 3, read).bytes, BuildFrame(5, 3, {2, 0, 1}));
}

TEST(Faults, WholeReplyFaults)
{
    Bytes pdu{6, 0, 1, 0, 2};
    auto bad = Apply(sim::Fault::BadCrc, 6, pdu);
    EXPECT_FALSE(CrcMatches(bad.bytes.data(), bad.bytes.size()));
    EXPECT_FALSE(Apply(sim::Fault::NoReply, 6, pdu).send);
    sim::Fault f;
    f.exception_code = 9;
    EXPECT_EQ(Apply(sim::Fault::Exception, 6, pdu, f).bytes, BuildFrame(5, 0x86, {9}));
    f.count = 300;
    auto flood = Apply(sim::Fault::Flood, 6, pdu, f);
    EXPECT_EQ(flood.bytes.size(), 300u);
    f.piece_bytes = 3;
    f.piece_delay_s = 0.05;
    f.delay_s = 0.2;
    auto pieces = Apply(sim::Fault::Pieces, 6, pdu, f);
    EXPECT_EQ(pieces.piece_bytes, 3u);
    EXPECT_EQ(pieces.delay_s, 0);
    EXPECT_EQ(Apply(sim::Fault::Delay, 6, pdu, f).delay_s, 0.2);

    // Faults stack; a frame edit after a short flood has nothing to edit.
    f.count = 2;
    sim::ReplyPlan plan = Apply(sim::Fault::Flood, 6, pdu, f);
    f.kind = sim::Fault::BadCrc;
    sim::ApplyFault(f, Req(6), &plan);
    f.kind = sim::Fault::WrongEchoValue;
    sim::ApplyFault(f, Req(6), &plan);
    EXPECT_EQ(plan.bytes.size(), 2u);
}

TEST(Faults, MatchByAddressAndFunction)
{
    sim::Fault f;
    EXPECT_TRUE(sim::FaultMatches(f, Req(3)));
    f.function = 6;
    EXPECT_FALSE(sim::FaultMatches(f, Req(3)));
    EXPECT_TRUE(sim::FaultMatches(f, Req(6)));
    f.address = 4;
    EXPECT_FALSE(sim::FaultMatches(f, Req(6)));
}

} // namespace
