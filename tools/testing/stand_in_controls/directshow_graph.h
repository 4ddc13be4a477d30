// A DirectShow graph that plays one local file and hands its video frames to
// us: source, (splitter and decoder as the graph finds them), a sample
// grabber that keeps the last frame as RGB, and a null renderer. The default
// video renderer is left out: its window stays black under Xvfb, so the
// controls draw the frames themselves.
#pragma once
#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ownership.h"

namespace kavuno::stand_in {

using ui::ComPtr;

// The sample grabber's interface (qedit), declared here because newer SDKs
// no longer ship its header.
MIDL_INTERFACE("6B652FFF-11FE-4FCE-92AD-0266B5D7C78F")
IFrameGrabber : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetOneShot(BOOL oneShot) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMediaType(const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetConnectedMediaType(AM_MEDIA_TYPE * type) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetBufferSamples(BOOL bufferThem) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentBuffer(LONG * size, LONG * buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentSample(IMediaSample * *sample) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCallback(IUnknown * callback, LONG whichMethod) = 0;
};

class DirectShowGraph {
public:
    DirectShowGraph() = default;
    ~DirectShowGraph();
    DirectShowGraph(const DirectShowGraph&) = delete;
    DirectShowGraph& operator=(const DirectShowGraph&) = delete;

    // Builds the graph for a file; the graph is stopped afterwards.
    HRESULT Build(const std::wstring& file);

    void Run();
    void Pause();
    void Stop();
    void SetPositionMs(double ms);
    double PositionMs();
    double DurationMs();
    // True once the graph has reported the end of the stream since the last call.
    bool TakeCompletion();
    // Copies the last frame when there is one; `header` describes it (32 or
    // 24 bits, BI_RGB). False when no frame has arrived or it is not RGB.
    bool CopyFrame(BITMAPINFOHEADER& header, std::vector<std::uint8_t>& bits);

    // Stops the graph and releases every part of it.
    void Close();

private:
    HRESULT ConnectVideo(IBaseFilter* source, const GUID& subtype);

    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IMediaSeeking> seeking_;
    ComPtr<IMediaEvent> events_;
    ComPtr<IBaseFilter> grabberFilter_;
    ComPtr<IFrameGrabber> grabber_;
    BITMAPINFOHEADER header_{};
    bool rgb_ = false;
};

}  // namespace kavuno::stand_in
