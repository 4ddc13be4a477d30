# Service addresses are build configuration with loopback defaults; each can be
# overridden at run time by the environment variable of the same name.
set(KAVUNO_UPDATE_SERVER "http://127.0.0.1:8780" CACHE STRING "Base address of the update server")
set(KAVUNO_WEB_SITE "http://127.0.0.1:8780" CACHE STRING "Base address of the service web site")
set(KAVUNO_PRESENCE_SERVER "127.0.0.1" CACHE STRING "Presence server, also stream host B")
set(KAVUNO_STREAM_HOST_A "127.0.0.1" CACHE STRING "Stream host A (numeric address)")
set(KAVUNO_STREAM_HOST_C "localhost" CACHE STRING "Stream host C (host name)")
set(KAVUNO_STREAM_USER_A "kavuno" CACHE STRING "User name on stream host A")
set(KAVUNO_STREAM_PASSWORD_A "kavuno" CACHE STRING "Password on stream host A")
set(KAVUNO_STREAM_USER_B "kavuno" CACHE STRING "User name on stream host B")
set(KAVUNO_STREAM_PASSWORD_B "kavuno" CACHE STRING "Password on stream host B")
configure_file(${PROJECT_SOURCE_DIR}/common/service_config_defaults.h.in
               ${PROJECT_BINARY_DIR}/generated/common/service_config_defaults.h @ONLY)
