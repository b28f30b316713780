// The FFmpeg libraries, loaded on first use instead of at program start.
//
// Linking libavformat and libavcodec pulls in over a hundred shared libraries
// (every codec's), which costs the command-line tool most of its start-up
// time even for commands that never touch audio. Core code includes this
// header instead of the FFmpeg headers; the calls it makes stay as written and
// go through a table filled by dlopen the first time audio is opened.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/mathematics.h>
#include <libswresample/swresample.h>
}

#define LUMORA_AV_FUNCS(X)                                                                     \
    X(avformat_open_input) X(avformat_find_stream_info) X(avformat_close_input)               \
    X(av_read_frame) X(avcodec_find_decoder) X(avcodec_alloc_context3)                        \
    X(avcodec_parameters_to_context) X(avcodec_open2) X(avcodec_free_context)                 \
    X(avcodec_send_packet) X(avcodec_receive_frame) X(avcodec_descriptor_get)                 \
    X(av_packet_alloc) X(av_packet_free) X(av_packet_unref) X(av_packet_get_side_data)        \
    X(av_frame_alloc) X(av_frame_free) X(av_frame_unref) X(av_rescale) X(av_log_set_level)    \
    X(av_dict_get) X(av_channel_layout_default) X(av_channel_layout_uninit)                   \
    X(av_channel_layout_copy) X(av_channel_layout_compare) X(av_channel_layout_check)         \
    X(swr_alloc_set_opts2) X(swr_init) X(swr_free) X(swr_convert) X(swr_get_out_samples)      \
    X(swr_set_matrix)

struct AvLib {
#define LUMORA_AV_MEMBER(f) decltype(&::f) f = nullptr;
    LUMORA_AV_FUNCS(LUMORA_AV_MEMBER)
#undef LUMORA_AV_MEMBER
};

// Loads the libraries once (thread-safe); false when they or any function
// cannot be found, in which case no audio can be opened.
bool av_lib_ok();
// The loaded table; only valid after av_lib_ok() returned true.
const AvLib& av_lib();

#ifndef LUMORA_AV_LAZY_IMPL
#define avformat_open_input (av_lib().avformat_open_input)
#define avformat_find_stream_info (av_lib().avformat_find_stream_info)
#define avformat_close_input (av_lib().avformat_close_input)
#define av_read_frame (av_lib().av_read_frame)
#define avcodec_find_decoder (av_lib().avcodec_find_decoder)
#define avcodec_alloc_context3 (av_lib().avcodec_alloc_context3)
#define avcodec_parameters_to_context (av_lib().avcodec_parameters_to_context)
#define avcodec_open2 (av_lib().avcodec_open2)
#define avcodec_free_context (av_lib().avcodec_free_context)
#define avcodec_send_packet (av_lib().avcodec_send_packet)
#define avcodec_receive_frame (av_lib().avcodec_receive_frame)
#define avcodec_descriptor_get (av_lib().avcodec_descriptor_get)
#define av_packet_alloc (av_lib().av_packet_alloc)
#define av_packet_free (av_lib().av_packet_free)
#define av_packet_unref (av_lib().av_packet_unref)
#define av_packet_get_side_data (av_lib().av_packet_get_side_data)
#define av_frame_alloc (av_lib().av_frame_alloc)
#define av_frame_free (av_lib().av_frame_free)
#define av_frame_unref (av_lib().av_frame_unref)
#define av_rescale (av_lib().av_rescale)
#define av_log_set_level (av_lib().av_log_set_level)
#define av_dict_get (av_lib().av_dict_get)
#define av_channel_layout_default (av_lib().av_channel_layout_default)
#define av_channel_layout_uninit (av_lib().av_channel_layout_uninit)
#define av_channel_layout_copy (av_lib().av_channel_layout_copy)
#define av_channel_layout_compare (av_lib().av_channel_layout_compare)
#define av_channel_layout_check (av_lib().av_channel_layout_check)
#define swr_alloc_set_opts2 (av_lib().swr_alloc_set_opts2)
#define swr_init (av_lib().swr_init)
#define swr_free (av_lib().swr_free)
#define swr_convert (av_lib().swr_convert)
#define swr_get_out_samples (av_lib().swr_get_out_samples)
#define swr_set_matrix (av_lib().swr_set_matrix)
#endif
