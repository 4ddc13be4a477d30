#include "tools/testing/stand_in_controls/directshow_graph.h"

#include <cstring>

namespace kavuno::stand_in {
namespace {

// Class ids of qedit's filters.
const CLSID kSampleGrabber = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const CLSID kNullRenderer = {0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const IID kFrameGrabberIid = {0x6B652FFF, 0x11FE, 0x4FCE, {0x92, 0xAD, 0x02, 0x66, 0xB5, 0xD7, 0xC7, 0x8F}};

void FreeMediaType(AM_MEDIA_TYPE& type) {
    if (type.cbFormat) CoTaskMemFree(type.pbFormat);
    if (type.pUnk) type.pUnk->Release();
    type.cbFormat = 0;
    type.pbFormat = nullptr;
    type.pUnk = nullptr;
}

ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION wanted, bool unconnectedOnly) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Out()))) return {};
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.Out(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        if (FAILED(pin->QueryDirection(&direction)) || direction != wanted) continue;
        if (unconnectedOnly) {
            ComPtr<IPin> peer;
            if (SUCCEEDED(pin->ConnectedTo(peer.Out())) && peer) continue;
        }
        return pin;
    }
    return {};
}

}  // namespace

DirectShowGraph::~DirectShowGraph() { Close(); }

HRESULT DirectShowGraph::ConnectVideo(IBaseFilter* source, const GUID& subtype) {
    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Video;
    type.subtype = subtype;
    type.formattype = FORMAT_VideoInfo;
    grabber_->SetMediaType(&type);
    ComPtr<IPin> out = FindPin(source, PINDIR_OUTPUT, true);
    ComPtr<IPin> in = FindPin(grabberFilter_.get(), PINDIR_INPUT, true);
    if (!out || !in) return E_FAIL;
    return graph_->Connect(out.get(), in.get());
}

HRESULT DirectShowGraph::Build(const std::wstring& file) {
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(graph_.Out()));
    if (FAILED(hr)) return hr;
    hr = CoCreateInstance(kSampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                          reinterpret_cast<void**>(grabberFilter_.Out()));
    if (FAILED(hr)) return hr;
    grabber_ = grabberFilter_.As<IFrameGrabber>(kFrameGrabberIid);
    if (!grabber_) return E_NOINTERFACE;
    ComPtr<IBaseFilter> renderer;
    hr = CoCreateInstance(kNullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                          reinterpret_cast<void**>(renderer.Out()));
    if (FAILED(hr)) return hr;
    graph_->AddFilter(grabberFilter_.get(), L"Frame grabber");
    graph_->AddFilter(renderer.get(), L"Null renderer");

    ComPtr<IBaseFilter> source;
    hr = graph_->AddSourceFilter(file.c_str(), L"Source", source.Out());
    if (FAILED(hr)) return hr;

    // RGB we can draw as it comes; the graph adds a converter where needed.
    grabber_->SetBufferSamples(TRUE);
    grabber_->SetOneShot(FALSE);
    hr = ConnectVideo(source.get(), MEDIASUBTYPE_RGB32);
    if (FAILED(hr)) hr = ConnectVideo(source.get(), MEDIASUBTYPE_RGB24);
    if (FAILED(hr)) return hr;
    ComPtr<IPin> grabberOut = FindPin(grabberFilter_.get(), PINDIR_OUTPUT, true);
    ComPtr<IPin> rendererIn = FindPin(renderer.get(), PINDIR_INPUT, true);
    if (!grabberOut || !rendererIn) return E_FAIL;
    hr = graph_->Connect(grabberOut.get(), rendererIn.get());
    if (FAILED(hr)) return hr;

    AM_MEDIA_TYPE connected{};
    if (SUCCEEDED(grabber_->GetConnectedMediaType(&connected))) {
        if (connected.formattype == FORMAT_VideoInfo && connected.pbFormat &&
            connected.cbFormat >= sizeof(VIDEOINFOHEADER)) {
            header_ = reinterpret_cast<VIDEOINFOHEADER*>(connected.pbFormat)->bmiHeader;
            rgb_ = header_.biCompression == BI_RGB && (header_.biBitCount == 32 || header_.biBitCount == 24);
        }
        FreeMediaType(connected);
    }

    control_ = graph_.As<IMediaControl>(IID_IMediaControl);
    seeking_ = graph_.As<IMediaSeeking>(IID_IMediaSeeking);
    events_ = graph_.As<IMediaEvent>(IID_IMediaEvent);
    if (!control_ || !seeking_ || !events_) return E_NOINTERFACE;
    return S_OK;
}

void DirectShowGraph::Run() {
    if (control_) control_->Run();
}

void DirectShowGraph::Pause() {
    if (control_) control_->Pause();
}

void DirectShowGraph::Stop() {
    if (control_) control_->Stop();
}

void DirectShowGraph::SetPositionMs(double ms) {
    if (!seeking_) return;
    LONGLONG position = static_cast<LONGLONG>(ms * 10000);
    seeking_->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

double DirectShowGraph::PositionMs() {
    LONGLONG position = 0;
    if (!seeking_ || FAILED(seeking_->GetCurrentPosition(&position))) return 0;
    return static_cast<double>(position) / 10000;
}

double DirectShowGraph::DurationMs() {
    LONGLONG duration = 0;
    if (!seeking_ || FAILED(seeking_->GetDuration(&duration))) return 0;
    return static_cast<double>(duration) / 10000;
}

bool DirectShowGraph::TakeCompletion() {
    if (!events_) return false;
    bool complete = false;
    long code;
    LONG_PTR first, second;
    while (events_->GetEvent(&code, &first, &second, 0) == S_OK) {
        if (code == EC_COMPLETE) complete = true;
        events_->FreeEventParams(code, first, second);
    }
    return complete;
}

bool DirectShowGraph::CopyFrame(BITMAPINFOHEADER& header, std::vector<std::uint8_t>& bits) {
    if (!grabber_ || !rgb_) return false;
    LONG size = 0;
    if (FAILED(grabber_->GetCurrentBuffer(&size, nullptr)) || size <= 0) return false;
    bits.resize(static_cast<size_t>(size));
    if (FAILED(grabber_->GetCurrentBuffer(&size, reinterpret_cast<LONG*>(bits.data())))) return false;
    header = header_;
    header.biSizeImage = static_cast<DWORD>(size);
    return true;
}

void DirectShowGraph::Close() {
    if (control_) control_->Stop();
    events_.Reset();
    seeking_.Reset();
    control_.Reset();
    grabber_.Reset();
    grabberFilter_.Reset();
    graph_.Reset();
}

}  // namespace kavuno::stand_in
