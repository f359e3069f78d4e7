# Run at install time: copies the program folder's files that the reader opens by bare name
# (each library pair with its notes and its search index when it has them, the pictures, the
# music and the reference pages) and the folders of the pages of every poet and form, as the
# folder holds them now. An index without its data file (or the other way round) is no library
# and stays, and so do its notes and search index.
set(destination "${LOMEVA_INSTALL_PROGRAM_DIR}")
if(NOT IS_ABSOLUTE "${destination}")
    set(destination "${CMAKE_INSTALL_PREFIX}/${destination}")
endif()
file(GLOB indexes LIST_DIRECTORIES false "${LOMEVA_PROGRAM_DIR}/*.idx")
file(GLOB others LIST_DIRECTORIES false "${LOMEVA_PROGRAM_DIR}/*.jpg"
     "${LOMEVA_PROGRAM_DIR}/*.wav" "${LOMEVA_PROGRAM_DIR}/*.htm")
set(files ${others})
# The favourites library (收藏.idx, named in library/Favourites.h) stays out with everything
# beside it: it holds the poems one person kept, made in the build's program folder by whoever
# tried the reader there, and each user's favourites are made in their own folder at their first
# 收藏.
list(REMOVE_ITEM indexes "${LOMEVA_PROGRAM_DIR}/收藏.idx")
foreach(index IN LISTS indexes)
    string(REGEX REPLACE "\\.idx$" ".dat" data "${index}")
    string(REGEX REPLACE "\\.idx$" ".notes" notes "${index}")
    string(REGEX REPLACE "\\.idx$" ".search" search "${index}")
    if(EXISTS "${data}")
        list(APPEND files "${index}" "${data}")
        # The notes and the search index beside it go where the library goes.
        if(EXISTS "${notes}")
            list(APPEND files "${notes}")
        endif()
        if(EXISTS "${search}")
            list(APPEND files "${search}")
        endif()
    endif()
endforeach()
if(NOT indexes)
    message(WARNING "${LOMEVA_PROGRAM_DIR} holds no library: build the reader first")
endif()
file(INSTALL ${files} DESTINATION "${destination}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
foreach(pages poets forms)
    if(IS_DIRECTORY "${LOMEVA_PROGRAM_DIR}/${pages}")
        file(INSTALL "${LOMEVA_PROGRAM_DIR}/${pages}" DESTINATION "${destination}"
             FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
             DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                   GROUP_EXECUTE WORLD_READ WORLD_EXECUTE
             PATTERN ".*" EXCLUDE)
    endif()
endforeach()
